#include "platform/ProgramName.h"

#include <climits>
#include <unistd.h>

namespace platform {

std::string programName()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0)
        return "pressling";
    std::string name(path, static_cast<size_t>(length));
    name = name.substr(name.rfind('/') + 1);
    if (size_t period = name.rfind('.'); period != std::string::npos && period > 0)
        name.erase(period);
    return name;
}

}
