#pragma once

#include "platform/MappedFile.h"

#include <cstddef>
#include <cstdint>

// A zip archive walked record by record to count its file entries and the encrypted ones. The
// file is mapped rather than read, and the pages behind the cursor are given back, so memory
// stays flat whatever the archive's size.
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

    platform::MappedFile m_file;
    const uint8_t* m_cursor = nullptr;
    const uint8_t* m_end = nullptr;
    int32_t m_entryCount = 0;
    int32_t m_encryptedCount = 0;
    bool m_allEncrypted = false;

private:
    size_t remaining() const { return static_cast<size_t>(m_end - m_cursor); }
    bool read(void* target, size_t length);
    const uint8_t* take(size_t length);
    void skip(uint64_t length);
    void releaseBehind();
    void readCentralDirectoryEntry();
    void readLocalFileHeader();
    const uint8_t* findDataDescriptor();

    uint64_t m_releasedUpTo = 0;
    // The last search for a data descriptor: from where it started and what it found (null for
    // nothing). A later search from a cursor between the two gives the same answer, which keeps
    // an archive full of descriptor-less entries from being searched over and over.
    const uint8_t* m_searchedFrom = nullptr;
    const uint8_t* m_searchFound = nullptr;
};
