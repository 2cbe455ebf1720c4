#include "classify/ZipFile.h"

#include "platform/FileOperations.h"

#include <cstring>

namespace {

constexpr uint32_t LocalFileHeader = 0x04034B50;
constexpr uint32_t CentralDirectoryEntry = 0x02014B50;
constexpr uint32_t EndOfCentralDirectory = 0x06054B50;
constexpr uint32_t DataDescriptor = 0x08074B50;
constexpr unsigned char DataDescriptorBytes[4] = { 0x50, 0x4B, 0x07, 0x08 };

constexpr uint16_t EncryptedFlag = 0x0001;
constexpr uint16_t DataDescriptorFlag = 0x0008;

uint16_t littleEndian16(const unsigned char* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t littleEndian32(const unsigned char* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8
        | static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}

int ZipFile::open(const char* path)
{
    if (!path)
        throw -5000;
    // Opened before the attributes are looked at, which only tells the two failures apart.
    if (!m_file.open(path))
        throw platform::fileOperations::exists(path) ? -5002 : -5001;
    if (m_file.size() < 4)
        throw -5004;
    m_cursor = 0;
    const uint8_t* signature = m_file.bytesAt(0, 4);
    // A file that lost its first bytes since it was measured is as short as it now is.
    if (!signature)
        throw -5004;
    if (littleEndian32(signature) != LocalFileHeader)
        throw -5003;
    return 0;
}

// Every read takes its bytes only when the data holds them all; a file that shrank under the
// read holds less than it did, and the read takes nothing.
bool ZipFile::read(void* target, size_t length)
{
    if (remaining() < length)
        return false;
    const uint8_t* bytes = m_file.bytesAt(m_cursor, length);
    if (!bytes)
        return false;
    std::memcpy(target, bytes, length);
    m_cursor += length;
    return true;
}

// Moves over length bytes that must lie in the data, giving the last of them when asked.
bool ZipFile::take(size_t length, uint8_t* lastByte)
{
    if (remaining() < length)
        return false;
    if (lastByte && length > 0) {
        const uint8_t* last = m_file.bytesAt(m_cursor + length - 1, 1);
        if (!last)
            return false;
        *lastByte = *last;
    }
    m_cursor += length;
    return true;
}

void ZipFile::skip(uint64_t length)
{
    if (length != 0 && remaining() >= length)
        m_cursor += length;
}

void ZipFile::readCentralDirectoryEntry()
{
    unsigned char fixed[42] = {};
    read(fixed, sizeof(fixed));
    uint16_t flags = littleEndian16(fixed + 4);
    uint16_t nameLength = littleEndian16(fixed + 24);
    uint16_t extraLength = littleEndian16(fixed + 26);
    uint16_t commentLength = littleEndian16(fixed + 28);
    uint8_t lastOfName = 0;
    bool isFolder = nameLength > 0 && take(nameLength, &lastOfName) && lastOfName == '/';
    if (!isFolder) {
        ++m_entryCount;
        if (flags & EncryptedFlag)
            ++m_encryptedCount;
    }
    skip(extraLength);
    skip(commentLength);
}

void ZipFile::readLocalFileHeader()
{
    unsigned char fixed[26] = {};
    read(fixed, sizeof(fixed));
    uint16_t flags = littleEndian16(fixed + 2);
    uint32_t compressedSize = littleEndian32(fixed + 14);
    uint16_t nameLength = littleEndian16(fixed + 22);
    uint16_t extraLength = littleEndian16(fixed + 24);
    take(nameLength);
    skip(extraLength);
    skip(compressedSize);
    if (flags & DataDescriptorFlag) {
        // The sizes follow the data, so the data's end is found by looking for the descriptor.
        std::optional<uint64_t> descriptor = findDataDescriptor();
        if (descriptor && *descriptor > m_cursor)
            m_cursor = *descriptor;
    }
}

std::optional<uint64_t> ZipFile::findDataDescriptor()
{
    if (m_searchedFrom && m_cursor >= *m_searchedFrom && (!m_searchFound || m_cursor <= *m_searchFound))
        return m_searchFound;
    m_searchedFrom = m_cursor;
    m_searchFound = m_file.find(m_cursor, DataDescriptorBytes, sizeof(DataDescriptorBytes));
    return m_searchFound;
}

int ZipFile::scan()
{
    m_entryCount = 0;
    m_encryptedCount = 0;
    unsigned char signatureBytes[4];
    while (read(signatureBytes, sizeof(signatureBytes))) {
        uint32_t signature = littleEndian32(signatureBytes);
        if (signature == EndOfCentralDirectory) {
            unsigned char fixed[18] = {};
            read(fixed, sizeof(fixed));
            skip(littleEndian16(fixed + 16));
            break;
        }
        if (signature == CentralDirectoryEntry)
            readCentralDirectoryEntry();
        else if (signature == LocalFileHeader)
            readLocalFileHeader();
        else if (signature == DataDescriptor)
            skip(12);
    }
    m_allEncrypted = m_entryCount > 0 && m_encryptedCount == m_entryCount;
    return m_entryCount;
}
