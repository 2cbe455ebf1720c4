#pragma once

// Names of the storages and streams that the protection tests look for inside compound files.
// The leading control characters belong to the names. The literals are split after them so
// that the following letters are not read as more hexadecimal digits.
namespace StorageNames {

inline constexpr const char* DataSpaces = "\x06"
                                          "DataSpaces";
inline constexpr const char* TransformInfo = "TransformInfo";
// The rights-management transform of the Office 2003 formats.
inline constexpr const char* DrmTransform = "\x09"
                                            "DRMTransform";
// The rights-management transform of package documents (Office 2007 and XPS).
inline constexpr const char* DrmEncryptedTransform = "DRMEncryptedTransform";
inline constexpr const char* Primary = "\x06"
                                       "Primary";
inline constexpr const char* WordDocument = "WordDocument";
inline constexpr const char* EncryptedSummary = "EncryptedSummary";
inline constexpr const char* CurrentUser = "Current User";
inline constexpr const char* Workbook = "Workbook";
inline constexpr const char* EncryptionInfo = "EncryptionInfo";

// The transform storage that a rights-protected document of this name carries.
const char* transformStorageFor(const char* path);

}
