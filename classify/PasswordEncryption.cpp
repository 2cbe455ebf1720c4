#include "classify/PasswordEncryption.h"

#include "classify/FileType.h"
#include "classify/StorageNames.h"
#include "platform/CompoundFileStorage.h"

#include <cstdint>
#include <memory>

namespace {

constexpr int Encrypted = 1;
constexpr int NotEncrypted = 0;
constexpr int CannotOpen = -1;
constexpr int StreamMissing = -2;

// The identifier of Word 6 documents: older ones carry no flags this test understands.
constexpr uint16_t FirstWordIdentifier = 0xA5DC;
constexpr unsigned char WordEncryptedFlag = 0x01;
constexpr unsigned char WordWriteReservationFlag = 0x08;

constexpr unsigned char ExcelFilePassRecord = 0x2F;
constexpr unsigned char ExcelWriteProtectRecord = 0x86;

// The header token of PowerPoint's CurrentUserAtom when the presentation is encrypted.
constexpr uint32_t PowerPointEncryptedToken = 0xF3D1C4DF;

uint16_t littleEndian16(const unsigned char* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t littleEndian32(const unsigned char* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8
        | static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Reads the start of a stream into a zero-filled buffer: a stream shorter than the buffer
// leaves zeros, which none of the tests takes for a flag.
template <size_t Size>
void readStart(const platform::CompoundFileStream& stream, unsigned char (&buffer)[Size])
{
    for (unsigned char& byte : buffer)
        byte = 0;
    stream.readAt(0, buffer, Size);
}

bool currentUserSaysEncrypted(const platform::CompoundFileStorage& root)
{
    auto currentUser = root.openStream(StorageNames::CurrentUser);
    if (!currentUser)
        return false;
    unsigned char atom[16];
    readStart(*currentUser, atom);
    return littleEndian32(atom + 12) == PowerPointEncryptedToken;
}

}

int isEncryptedWordFile(const char* path)
{
    return isEncryptedWordFile(platform::CompoundFileStorage::open(path).get());
}

int isEncryptedWordFile(const platform::CompoundFileStorage* root)
{
    if (!root)
        return CannotOpen;
    auto stream = root->openStream(StorageNames::WordDocument);
    if (!stream)
        return StreamMissing;
    unsigned char fib[18];
    readStart(*stream, fib);
    if (littleEndian16(fib) < FirstWordIdentifier)
        return NotEncrypted;
    return (fib[11] & (WordEncryptedFlag | WordWriteReservationFlag)) ? Encrypted : NotEncrypted;
}

int isEncryptedPowerPointFile(const char* path)
{
    return isEncryptedPowerPointFile(platform::CompoundFileStorage::open(path).get());
}

int isEncryptedPowerPointFile(const platform::CompoundFileStorage* root)
{
    if (!root)
        return CannotOpen;
    if (root->openStream(StorageNames::EncryptedSummary))
        return Encrypted;
    // PowerPoint does not always write the summary stream of an encrypted presentation, but it
    // always marks the current-user record.
    if (currentUserSaysEncrypted(*root))
        return Encrypted;
    return StreamMissing;
}

int isEncryptedExcelFile(const char* path)
{
    return isEncryptedExcelFile(platform::CompoundFileStorage::open(path).get());
}

int isEncryptedExcelFile(const platform::CompoundFileStorage* root)
{
    if (!root)
        return CannotOpen;
    auto stream = root->openStream(StorageNames::Workbook);
    if (!stream)
        return StreamMissing;
    unsigned char records[32];
    readStart(*stream, records);
    // A BIFF8 BOF record takes 20 bytes; the type of the record after it starts at offset 20.
    return records[20] == ExcelFilePassRecord || records[20] == ExcelWriteProtectRecord ? Encrypted
                                                                                        : NotEncrypted;
}

int isEncryptedPackageFile(const char* path)
{
    return isEncryptedPackageFile(platform::CompoundFileStorage::open(path).get());
}

int isEncryptedPackageFile(const platform::CompoundFileStorage* root)
{
    if (!root)
        return CannotOpen;
    return root->openStream(StorageNames::EncryptionInfo) ? Encrypted : StreamMissing;
}

bool isPasswordEncrypted(const char* path)
{
    // A file whose attributes cannot be read cannot be opened either, so each format test
    // answers for it without a separate look at the attributes.
    if (!path || !hasPasswordTest(path))
        return false;
    return isPasswordEncrypted(path, platform::CompoundFileStorage::open(path).get());
}

bool isPasswordEncrypted(const char* path, const platform::CompoundFileStorage* root)
{
    if (!path)
        return false;
    if (endsWith(path, ".doc"))
        return isEncryptedWordFile(root) == Encrypted;
    if (endsWith(path, ".ppt") || endsWith(path, ".pps"))
        return isEncryptedPowerPointFile(root) == Encrypted;
    if (endsWith(path, ".xls"))
        return isEncryptedExcelFile(root) == Encrypted;
    if (FileType().isOffice2007File(path))
        return isEncryptedPackageFile(root) == Encrypted;
    return false;
}

bool hasPasswordTest(const char* path)
{
    return endsWith(path, ".doc") || endsWith(path, ".ppt") || endsWith(path, ".pps")
        || endsWith(path, ".xls") || FileType().isOffice2007File(path);
}
