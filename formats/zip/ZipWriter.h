#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace formats {

// Builds a zip archive in memory and writes it in one go: the container of the Open Packaging
// Conventions (XPS and the 2007 Office formats). No zip64: a package stays far below 4 GB.
class ZipWriter {
public:
    enum class Compression { Stored, Deflated };

    // Names use '/' and no leading slash. A name given twice is a mistake of the caller and
    // makes write() fail, since readers disagree on which copy counts.
    void add(const std::string& name, const std::string& bytes, Compression compression = Compression::Deflated);

    // Adds every entry of other after the entries already here.
    void append(const ZipWriter& other);

    // Writes the archive to path through a temporary file beside it, so that a failure never
    // leaves a half-written archive. False, with errorMessage(), on failure.
    bool write(const std::string& path);
    const std::string& errorMessage() const { return m_error; }

    static uint32_t crc32(const std::string& bytes);

private:
    struct Entry {
        std::string name;
        uint32_t crc;
        uint32_t size;
        uint32_t compressedSize;
        uint16_t method;
        uint32_t offset;
    };

    std::string m_data;
    std::vector<Entry> m_entries;
    std::string m_error;
};

}
