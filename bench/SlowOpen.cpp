// A slow file server under the program: loaded with LD_PRELOAD, this library delays every open of
// a file under the folder named by PRESSLING_SLOW_FOLDER (with a trailing '/') by 2 ms before the
// C library opens it, as a network share's round trip would. Everything else the process opens
// (libraries, icons, the type database) is opened at once. The delay sits below the program's
// own code, so that it pays for every open that its readers, Qt and the C++ library make.
//
// Each wrapper finds the C library's own function with dlsym(RTLD_NEXT, ...), so that the open
// itself is the real one. The number of delayed opens is kept for the benchmark, which reads it
// through pressling_slow_opens() (found with dlsym, since the benchmark is not linked with this
// library).
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr long DelayNanoseconds = 2'000'000;

std::atomic<long> delayedOpens { 0 };

const char* slowFolder()
{
    // The variable is read once: the process may change its environment later, and getenv is
    // not safe against a setenv on another thread.
    static const char* folder = [] {
        const char* value = std::getenv("PRESSLING_SLOW_FOLDER");
        return value && *value ? strdup(value) : nullptr;
    }();
    return folder;
}

bool isUnder(const char* folder, const char* path)
{
    size_t length = std::strlen(folder);
    return std::strncmp(path, folder, length) == 0 && path[length] != '\0';
}

// Whether path, relative to the directory dirfd when it is not absolute, lies under the slow
// folder. A relative path is joined to the directory's own path, which the kernel gives for
// the working directory and for every open descriptor under /proc/self/fd.
bool isSlow(int dirfd, const char* path)
{
    const char* folder = slowFolder();
    if (!folder || !path)
        return false;
    if (path[0] == '/')
        return isUnder(folder, path);
    char directory[PATH_MAX];
    if (dirfd == AT_FDCWD) {
        if (!getcwd(directory, sizeof(directory)))
            return false;
    } else {
        char link[64];
        std::snprintf(link, sizeof(link), "/proc/self/fd/%d", dirfd);
        ssize_t count = readlink(link, directory, sizeof(directory) - 1);
        if (count <= 0)
            return false;
        directory[count] = '\0';
    }
    char joined[PATH_MAX * 2];
    std::snprintf(joined, sizeof(joined), "%s/%s", directory, path);
    return isUnder(folder, joined);
}

void delayIfSlow(int dirfd, const char* path)
{
    if (!isSlow(dirfd, path))
        return;
    timespec left { 0, DelayNanoseconds };
    while (nanosleep(&left, &left) != 0 && errno == EINTR) { }
    delayedOpens.fetch_add(1, std::memory_order_relaxed);
}

}

extern "C" {

long pressling_slow_opens()
{
    return delayedOpens.load(std::memory_order_relaxed);
}
}

void beforeOpen(int directory, const char* path)
{
    delayIfSlow(directory, path);
}

#include "tests/support/OpenInterposer.h"
