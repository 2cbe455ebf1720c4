#include "filelist/FileTransfer.h"

#include "classify/FileType.h"
#include "foundation/Log.h"
#include "platform/FileOperations.h"

#include <cstring>

std::string destinationOf(const QByteArray& currentFolder, const std::string& source)
{
    size_t slash = source.rfind('/');
    std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
    return currentFolder.toStdString() + name;
}

bool isTakenByDrop(const std::string& path)
{
    return FileType().isDocumentFile(path.c_str());
}

bool copyToDestination(const platform::ReadOnlyFile& source, const std::string& destination, int32_t prepared,
    const char* caller)
{
    namespace files = platform::fileOperations;
    int error = 0;
    files::ExistingTarget existing
        = prepared == PreparedCopy::Replace ? files::ExistingTarget::Replace : files::ExistingTarget::Keep;
    if (files::copyFile(source, destination, existing, error))
        return true;
    logError("%s,Failed to copy to %s: %s", caller, destination.c_str(), std::strerror(error));
    return false;
}
