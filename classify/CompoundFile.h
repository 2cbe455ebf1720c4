#pragma once

#include "foundation/Object.h"
#include "foundation/String.h"

#include <memory>

class IssuanceLicense;

namespace platform {
class CompoundFileStorage;
}

// A rights-protected document opened as a compound file to read its issuance licence. A
// document that another program holds is read through a temporary copy, which is deleted
// again when the file is closed.
class CompoundFile : public Object {
public:
    CompoundFile();
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;
    ~CompoundFile() override;

    // Opens the document's root storage for reading.
    bool open(const char* path);
    // Reads the licence out of the open storage into licence; false when there is none.
    bool getIssuanceLicense(IssuanceLicense& licence);
    // Releases the storage and deletes the temporary copy, if one was made.
    void close();

    // The temporary copy being read, empty when the document is read in place.
    const String& getTemporaryPath() const { return m_temporaryPath; }

private:
    bool openCopy(const String& guid);
    bool readLicence(IssuanceLicense& licence);
    void deleteCopy();

    std::unique_ptr<platform::CompoundFileStorage> storageRoot;
    String m_path;
    String m_temporaryPath;
};
