#include "classify/OfficeDocument.h"

#include "classify/FileType.h"
#include "classify/StorageNames.h"
#include "platform/CompoundFileStorage.h"

#include <exception>

namespace {

int findTransform(const char* path)
{
    FileType fileType;
    if (fileType.isZipFile(path))
        return 0;
    if (platform::CompoundFileStorage::check(path) == platform::StorageFileCheck::Failed)
        return 101;
    // Reading is all this test needs, so a read-only document is examined like any other.
    auto root = platform::CompoundFileStorage::open(path);
    if (!root)
        return 201;
    auto dataSpaces = root->openStorage(StorageNames::DataSpaces);
    if (!dataSpaces)
        return 202;
    auto transformInfo = dataSpaces->openStorage(StorageNames::TransformInfo);
    if (!transformInfo)
        return 202;
    auto transform = transformInfo->openStorage(StorageNames::transformStorageFor(path));
    if (!transform)
        return 202;
    if (!transform->openStream(StorageNames::Primary))
        return 105;
    return 1;
}

}

int OfficeDocument::IsIRMProtected(const char* path)
{
    if (!path)
        return 100;
    try {
        return findTransform(path);
    } catch (const std::exception&) {
        return 106;
    } catch (...) {
        return 1000;
    }
}
