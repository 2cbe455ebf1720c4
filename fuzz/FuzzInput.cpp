#include "fuzz/FuzzInput.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

const std::string& folder()
{
    static const std::string path = [] {
        const char* temporary = std::getenv("TMPDIR");
        std::string pattern
            = std::string(temporary && *temporary ? temporary : "/tmp") + "/pressling-fuzz-XXXXXX";
        char* created = ::mkdtemp(pattern.data());
        return std::string(created ? created : "/tmp");
    }();
    return path;
}

}

std::string writeFuzzInput(const uint8_t* data, size_t size, const std::string& suffix)
{
    std::string path = folder() + "/input" + suffix;
    int descriptor = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0600);
    if (descriptor < 0)
        std::abort();
    size_t written = 0;
    while (written < size) {
        ssize_t count = ::write(descriptor, data + written, size - written);
        if (count <= 0)
            std::abort();
        written += static_cast<size_t>(count);
    }
    ::close(descriptor);
    return path;
}
