#pragma once

#include <cstddef>

// The 10 bytes that a zip package written by Office starts with: a local file header
// ("PK" 03 04), version 2.0 needed to extract, flags 0x0006 and deflate compression.
inline constexpr unsigned char ZIP_PACKAGE_SIGNATURE[10]
    = { 0x50, 0x4B, 0x03, 0x04, 0x14, 0x00, 0x06, 0x00, 0x08, 0x00 };

// True when name ends with suffix, letters compared without regard to case. Null arguments and
// a suffix longer than the name give false; an empty suffix matches every name.
bool endsWith(const char* name, const char* suffix);

// True when the first length bytes of data and prefix are equal, byte for byte.
bool startsWith(const void* data, const void* prefix, size_t length);

// What kind of document a path names, decided by the end of the name alone (except isZipFile,
// which also reads the first bytes). Stateless: create one where it is needed.
class FileType {
public:
    bool endsWith(const char* name, const char* suffix) const { return ::endsWith(name, suffix); }

    bool isWordFile(const char* path) const;
    bool isPowerPointFile(const char* path) const;
    bool isExcelFile(const char* path) const;
    bool isOfficeFile(const char* path) const;
    bool isDocumentFile(const char* path) const;
    bool isOffice2003File(const char* path) const;
    bool isOffice2007File(const char* path) const;
    bool isPackageFile(const char* path) const;
    bool isXpsFile(const char* path) const;

    // True only for an existing file with a package extension that starts with
    // ZIP_PACKAGE_SIGNATURE: an encrypted or rights-protected Office 2007 document carries the
    // same extension but is a compound file.
    bool isZipFile(const char* path) const;
};
