#include "classify/ZipFile.h"

#include "platform/ReadOnlyFile.h"

#include <cstring>

namespace {

constexpr uint32_t LocalFileHeader = 0x04034B50;
constexpr uint32_t CentralDirectoryEntry = 0x02014B50;
constexpr uint32_t EndOfCentralDirectory = 0x06054B50;
constexpr uint32_t DataDescriptor = 0x08074B50;
constexpr unsigned char DataDescriptorBytes[4] = { 0x50, 0x4B, 0x07, 0x08 };

constexpr uint16_t EncryptedFlag = 0x0001;
constexpr uint16_t DataDescriptorFlag = 0x0008;

// The scan gives back what lies behind it in steps of this size.
constexpr uint64_t ReleaseStep = 8 << 20;

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
        throw platform::fileAttributesReadable(path) ? -5002 : -5001;
    if (m_file.size() < 4)
        throw -5004;
    m_cursor = m_file.data();
    m_end = m_file.data() + m_file.size();
    if (littleEndian32(m_cursor) != LocalFileHeader)
        throw -5003;
    return 0;
}

bool ZipFile::read(void* target, size_t length)
{
    const uint8_t* bytes = take(length);
    if (!bytes)
        return false;
    std::memcpy(target, bytes, length);
    return true;
}

const uint8_t* ZipFile::take(size_t length)
{
    if (!m_cursor || remaining() < length)
        return nullptr;
    const uint8_t* bytes = m_cursor;
    m_cursor += length;
    return bytes;
}

void ZipFile::skip(uint64_t length)
{
    if (length != 0 && m_cursor && remaining() >= length)
        m_cursor += length;
}

void ZipFile::releaseBehind()
{
    uint64_t offset = static_cast<uint64_t>(m_cursor - m_file.data());
    if (offset - m_releasedUpTo < ReleaseStep)
        return;
    m_file.release(m_releasedUpTo, offset);
    m_releasedUpTo = offset;
}

void ZipFile::readCentralDirectoryEntry()
{
    unsigned char fixed[42] = {};
    read(fixed, sizeof(fixed));
    uint16_t flags = littleEndian16(fixed + 4);
    uint16_t nameLength = littleEndian16(fixed + 24);
    uint16_t extraLength = littleEndian16(fixed + 26);
    uint16_t commentLength = littleEndian16(fixed + 28);
    const uint8_t* name = take(nameLength);
    bool isFolder = name && nameLength > 0 && name[nameLength - 1] == '/';
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
        const uint8_t* descriptor = findDataDescriptor();
        if (descriptor && descriptor > m_cursor)
            m_cursor = descriptor;
    }
}

const uint8_t* ZipFile::findDataDescriptor()
{
    if (m_searchedFrom && m_cursor >= m_searchedFrom && (!m_searchFound || m_cursor <= m_searchFound))
        return m_searchFound;
    m_searchedFrom = m_cursor;
    m_searchFound = nullptr;
    // Searched a step at a time, each step overlapping the next by three bytes, and given back
    // once looked at, so that a search through a huge archive does not keep it all resident.
    const uint8_t* from = m_cursor;
    while (static_cast<size_t>(m_end - from) >= sizeof(DataDescriptorBytes)) {
        size_t length = static_cast<size_t>(m_end - from);
        if (length > ReleaseStep + sizeof(DataDescriptorBytes) - 1)
            length = ReleaseStep + sizeof(DataDescriptorBytes) - 1;
        const void* found = ::memmem(from, length, DataDescriptorBytes, sizeof(DataDescriptorBytes));
        if (found) {
            m_searchFound = static_cast<const uint8_t*>(found);
            break;
        }
        const uint8_t* next = from + length - (sizeof(DataDescriptorBytes) - 1);
        m_file.release(
            static_cast<uint64_t>(from - m_file.data()), static_cast<uint64_t>(next - m_file.data()));
        from = next;
    }
    return m_searchFound;
}

int ZipFile::scan()
{
    m_entryCount = 0;
    m_encryptedCount = 0;
    unsigned char signatureBytes[4];
    while (read(signatureBytes, sizeof(signatureBytes))) {
        releaseBehind();
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
