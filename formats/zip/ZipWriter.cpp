#include "formats/zip/ZipWriter.h"

#include "platform/FileOperations.h"

#include <cstring>
#include <set>
#include <zlib.h>

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

// Raw deflate data, as zip wants it: no zlib header and no Adler-32 checksum, which a
// negative window size tells zlib to leave out. Empty when zlib refuses.
std::string deflate(const std::string& bytes)
{
    z_stream stream {};
    if (deflateInit2(&stream, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::string packed(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    int result = ::deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END ? packed : std::string();
}

// Fixed DOS time: 1 January 2000, 00:00. Packages of the same pages come out byte for byte equal.
constexpr uint16_t dosTime = 0;
constexpr uint16_t dosDate = (20 << 9) | (1 << 5) | 1;

}

uint32_t ZipWriter::crc32(const std::string& bytes)
{
    return static_cast<uint32_t>(::crc32(::crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()),
        static_cast<uInt>(bytes.size())));
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

    int error = 0;
    if (!platform::fileOperations::writeFileAtomically(path, m_data + directory + end, 0644, error)) {
        m_error = "cannot write " + path + ": " + std::strerror(error);
        return false;
    }
    return true;
}

}
