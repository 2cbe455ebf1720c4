#include "platform/NativeDirectory.h"

#include <sys/stat.h>

namespace platform {

bool NativeDirectory::exists(const char* path)
{
    struct stat status;
    return path && stat(path, &status) == 0;
}

bool NativeDirectory::create(const char* path)
{
    return path && mkdir(path, 0777) == 0;
}

}
