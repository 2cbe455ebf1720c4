#include "formats/zip/ZipWriter.h"

#include "platform/FileOperations.h"

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace formats {

namespace {

void put16(std::string& out, uint32_t value)
{
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>((value >> 8) & 0xff);
}

void put32(std::string& out, uint32_t value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

// Raw deflate data. qCompress writes a zlib stream (two header bytes, the deflate data and an
// Adler-32 checksum) after a four-byte length of its own; zip wants the deflate data alone.
std::string deflate(const std::string& bytes)
{
    QByteArray compressed = qCompress(reinterpret_cast<const uchar*>(bytes.data()),
        static_cast<qsizetype>(bytes.size()), 6);
    if (compressed.size() < 10)
        return {};
    return std::string(compressed.constData() + 6, static_cast<size_t>(compressed.size() - 10));
}

// Fixed DOS time: 1 January 2000, 00:00. Packages of the same pages come out byte for byte equal.
constexpr uint16_t dosTime = 0;
constexpr uint16_t dosDate = (20 << 9) | (1 << 5) | 1;

}

uint32_t ZipWriter::crc32(const std::string& bytes)
{
    static const auto table = [] {
        std::vector<uint32_t> values(256);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            values[n] = c;
        }
        return values;
    }();
    uint32_t crc = 0xffffffffu;
    for (unsigned char byte : bytes)
        crc = table[(crc ^ byte) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

void ZipWriter::add(const std::string& name, const std::string& bytes, Compression compression)
{
    Entry entry { name, crc32(bytes), static_cast<uint32_t>(bytes.size()), 0, 0,
        static_cast<uint32_t>(m_data.size()) };
    std::string body = bytes;
    if (compression == Compression::Deflated && !bytes.empty()) {
        std::string packed = deflate(bytes);
        // Already compressed data (PNG, JPEG) may grow; it is then stored as it is.
        if (!packed.empty() && packed.size() < bytes.size()) {
            body = std::move(packed);
            entry.method = 8;
        }
    }
    entry.compressedSize = static_cast<uint32_t>(body.size());
    put32(m_data, 0x04034b50);
    put16(m_data, 20);
    put16(m_data, 1 << 11); // names are UTF-8
    put16(m_data, entry.method);
    put16(m_data, dosTime);
    put16(m_data, dosDate);
    put32(m_data, entry.crc);
    put32(m_data, entry.compressedSize);
    put32(m_data, entry.size);
    put16(m_data, static_cast<uint32_t>(name.size()));
    put16(m_data, 0);
    m_data += name;
    m_data += body;
    m_entries.push_back(entry);
}

void ZipWriter::append(const ZipWriter& other)
{
    uint32_t base = static_cast<uint32_t>(m_data.size());
    for (Entry entry : other.m_entries) {
        entry.offset += base;
        m_entries.push_back(entry);
    }
    m_data += other.m_data;
}

bool ZipWriter::write(const std::string& path)
{
    std::set<std::string> names;
    for (const Entry& entry : m_entries) {
        if (!names.insert(entry.name).second) {
            m_error = "the package holds " + entry.name + " twice";
            return false;
        }
    }
    std::string directory;
    for (const Entry& entry : m_entries) {
        put32(directory, 0x02014b50);
        put16(directory, 20);
        put16(directory, 20);
        put16(directory, 1 << 11);
        put16(directory, entry.method);
        put16(directory, dosTime);
        put16(directory, dosDate);
        put32(directory, entry.crc);
        put32(directory, entry.compressedSize);
        put32(directory, entry.size);
        put16(directory, static_cast<uint32_t>(entry.name.size()));
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put32(directory, 0);
        put32(directory, entry.offset);
        directory += entry.name;
    }
    std::string end;
    put32(end, 0x06054b50);
    put16(end, 0);
    put16(end, 0);
    put16(end, static_cast<uint32_t>(m_entries.size()));
    put16(end, static_cast<uint32_t>(m_entries.size()));
    put32(end, static_cast<uint32_t>(directory.size()));
    put32(end, static_cast<uint32_t>(m_data.size()));
    put16(end, 0);

    std::string temporary = path + ".partial-XXXXXX";
    int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        m_error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    fchmod(descriptor, 0644);
    bool written = true;
    int writeError = 0;
    for (const std::string* block : { &m_data, &directory, &end })
        written = written && platform::fileOperations::writeAll(descriptor, block->data(), block->size(), writeError);
    written = written && fsync(descriptor) == 0;
    int error = errno;
    written = close(descriptor) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        m_error = "cannot write " + path + ": " + std::strerror(written ? errno : error);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}
