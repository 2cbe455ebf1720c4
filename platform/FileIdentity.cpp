#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace platform {

namespace {

FileIdentity identityOf(const struct stat& status)
{
    return FileIdentity { static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino) };
}

}

std::optional<FileIdentity> FileIdentity::of(const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return identityOf(status);
}

std::optional<FileIdentity> FileIdentity::ofDescriptor(int descriptor)
{
    struct stat status { };
    if (::fstat(descriptor, &status) != 0)
        return std::nullopt;
    return identityOf(status);
}

}
