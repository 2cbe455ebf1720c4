#pragma once

#include "platform/FileWindow.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// A zip archive walked record by record to count its file entries and the encrypted ones. The
// file is read through a bounded window rather than whole, so memory stays flat whatever the
// archive's size, and a file cut short while it is walked is only a short archive.
struct ZipFile {
    ZipFile() = default;
    ZipFile(const ZipFile&) = delete;
    ZipFile& operator=(const ZipFile&) = delete;

    // 0, or throws an int code: -5000 null path, -5001 the file's attributes cannot be read,
    // -5002 it cannot be opened, -5004 it is shorter than 4 bytes, -5003 it does not start with
    // a local file header.
    int open(const char* path);
    // Walks the records and returns the number of file entries (folders do not count).
    int scan();
    // True when there is at least one file entry and every one is encrypted.
    bool isEncrypted() const { return m_allEncrypted; }

    platform::FileWindow m_file;
    // The read cursor as an offset into the file; the end of the data is the file's size.
    uint64_t m_cursor = 0;
    int32_t m_entryCount = 0;
    int32_t m_encryptedCount = 0;
    bool m_allEncrypted = false;

private:
    uint64_t remaining() const { return m_file.size() > m_cursor ? m_file.size() - m_cursor : 0; }
    bool read(void* target, size_t length);
    bool take(size_t length, uint8_t* lastByte = nullptr);
    void skip(uint64_t length);
    void readCentralDirectoryEntry();
    void readLocalFileHeader();
    std::optional<uint64_t> findDataDescriptor();

    // The last search for a data descriptor: from where it started and what it found (nothing
    // for none). A later search from a cursor between the two gives the same answer, which keeps
    // an archive full of descriptor-less entries from being searched over and over.
    std::optional<uint64_t> m_searchedFrom;
    std::optional<uint64_t> m_searchFound;
};
