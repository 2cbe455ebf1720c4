#include "classify/StorageNames.h"

#include "classify/FileType.h"

namespace StorageNames {

const char* transformStorageFor(const char* path)
{
    FileType fileType;
    return fileType.isPackageFile(path) || fileType.isXpsFile(path) ? DrmEncryptedTransform : DrmTransform;
}

}
