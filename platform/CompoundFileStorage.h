#pragma once

#include "platform/CompoundFileStream.h"

#include <cstdint>
#include <memory>
#include <string>

struct _GsfInfile;

namespace platform {

// The answer to "is this file a compound file?": Failed when the file cannot be read at all.
enum class StorageFileCheck { Storage, NotStorage, Failed };

// Why a compound file could not be opened.
enum class StorageOpenFailure { None, Unreachable, InUse, NotCompoundFile };

// A storage of an OLE compound file (the root or one nested in it), read with libgsf. Opening is
// always for reading and stands in for an open without sharing: it fails while another program
// holds the file (see isFileInUse).
class CompoundFileStorage {
public:
    // Looks at the file's first eight bytes for the compound-file signature.
    static StorageFileCheck check(const std::string& path);

    // Opens the root storage; null on failure, with the reason in failure when it is given.
    static std::unique_ptr<CompoundFileStorage> open(
        const std::string& path, StorageOpenFailure* failure = nullptr);

    CompoundFileStorage(const CompoundFileStorage&) = delete;
    CompoundFileStorage& operator=(const CompoundFileStorage&) = delete;
    ~CompoundFileStorage();

    // The storage or stream of that name directly inside this storage, or null when there is
    // none of that kind. Names compare as compound files compare them, without regard to the
    // case of ASCII letters.
    std::unique_ptr<CompoundFileStorage> openStorage(const std::string& name) const;
    std::unique_ptr<CompoundFileStream> openStream(const std::string& name) const;

    // The size of the whole file that holds this storage: no stream in it can be longer.
    uint64_t fileSize() const { return m_fileSize; }

private:
    CompoundFileStorage(_GsfInfile* infile, uint64_t fileSize);
    _GsfInput* child(const std::string& name, bool wantStorage) const;

    _GsfInfile* m_infile;
    uint64_t m_fileSize;
};

}
