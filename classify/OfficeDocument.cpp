#include "classify/OfficeDocument.h"

#include "classify/FileType.h"
#include "classify/StorageNames.h"
#include "platform/CompoundFileStorage.h"

#include <exception>

namespace {

int findTransform(
    const char* path, const platform::CompoundFileStorage* root, platform::StorageOpenFailure failure)
{
    // The signature test and the open are one look at the file: one that cannot be read at all
    // fails the signature test (101), one that is no compound file or is held by another
    // program fails the open (201).
    if (!root)
        return failure == platform::StorageOpenFailure::Unreachable ? 101 : 201;
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
        if (FileType().isZipFile(path))
            return 0;
        // Reading is all this test needs, so a read-only document is examined like any other.
        platform::StorageOpenFailure failure;
        auto root = platform::CompoundFileStorage::open(path, &failure);
        return findTransform(path, root.get(), failure);
    } catch (const std::exception&) {
        return 106;
    } catch (...) {
        return 1000;
    }
}

int OfficeDocument::IsIRMProtected(
    const char* path, const platform::CompoundFileStorage* root, platform::StorageOpenFailure failure)
{
    if (!path)
        return 100;
    try {
        return findTransform(path, root, failure);
    } catch (const std::exception&) {
        return 106;
    } catch (...) {
        return 1000;
    }
}
