#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds the bytes of a zip archive entry by entry, with the header fields a test wants to
// control. The data is stored as given; nothing is compressed.
class ZipBuilder {
public:
    struct Entry {
        std::string name;
        std::string data;
        uint16_t flags = 0;
        uint16_t method = 0;
    };

    static constexpr uint16_t Encrypted = 0x0001;
    static constexpr uint16_t HasDataDescriptor = 0x0008;

    ZipBuilder& add(const Entry& entry);
    ZipBuilder& add(
        const std::string& name, const std::string& data, uint16_t flags = 0, uint16_t method = 0);

    // The local headers with their data (and data descriptors where the flag asks for one),
    // then the central directory and its end record.
    std::string bytes() const;

    static void put16(std::string& out, uint16_t value);
    static void put32(std::string& out, uint32_t value);

private:
    std::vector<Entry> m_entries;
};
