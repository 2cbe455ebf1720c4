#include "tests/support/ZipBuilder.h"

void ZipBuilder::put16(std::string& out, uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void ZipBuilder::put32(std::string& out, uint32_t value)
{
    put16(out, static_cast<uint16_t>(value & 0xFFFF));
    put16(out, static_cast<uint16_t>(value >> 16));
}

ZipBuilder& ZipBuilder::add(const Entry& entry)
{
    m_entries.push_back(entry);
    return *this;
}

ZipBuilder& ZipBuilder::add(const std::string& name, const std::string& data, uint16_t flags, uint16_t method)
{
    return add(Entry { name, data, flags, method });
}

std::string ZipBuilder::bytes() const
{
    std::string out;
    std::vector<uint32_t> offsets;
    for (const Entry& entry : m_entries) {
        bool descriptor = entry.flags & HasDataDescriptor;
        uint32_t size = static_cast<uint32_t>(entry.data.size());
        offsets.push_back(static_cast<uint32_t>(out.size()));
        put32(out, 0x04034B50);
        put16(out, 20);
        put16(out, entry.flags);
        put16(out, entry.method);
        put32(out, 0); // time and date
        put32(out, 0); // CRC
        put32(out, descriptor ? 0 : size);
        put32(out, descriptor ? 0 : size);
        put16(out, static_cast<uint16_t>(entry.name.size()));
        put16(out, 0);
        out += entry.name;
        out += entry.data;
        if (descriptor) {
            put32(out, 0x08074B50);
            put32(out, 0);
            put32(out, size);
            put32(out, size);
        }
    }
    uint32_t directoryStart = static_cast<uint32_t>(out.size());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& entry = m_entries[i];
        uint32_t size = static_cast<uint32_t>(entry.data.size());
        put32(out, 0x02014B50);
        put16(out, 20);
        put16(out, 20);
        put16(out, entry.flags);
        put16(out, entry.method);
        put32(out, 0);
        put32(out, 0);
        put32(out, size);
        put32(out, size);
        put16(out, static_cast<uint16_t>(entry.name.size()));
        put16(out, 0);
        put16(out, 0);
        put16(out, 0);
        put16(out, 0);
        put32(out, 0);
        put32(out, offsets[i]);
        out += entry.name;
    }
    uint32_t directorySize = static_cast<uint32_t>(out.size()) - directoryStart;
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint16_t>(m_entries.size()));
    put16(out, static_cast<uint16_t>(m_entries.size()));
    put32(out, directorySize);
    put32(out, directoryStart);
    put16(out, 0);
    return out;
}
