// A file server that answers only when the test lets it: loaded with LD_PRELOAD, this library
// holds every open of a file under PRESSLING_HELD_FOLDER for as long as the file named by
// PRESSLING_HELD_GATE exists, and lets it through once the gate file is removed. A test can so
// keep the list's protection tests in hand for exactly as long as it needs, without timing.
// Listing a folder opens nothing, so rows still come while their protection is held.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char* variable(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? strdup(value) : nullptr;
}

void holdIfHeld(const char* path)
{
    static const char* folder = variable("PRESSLING_HELD_FOLDER");
    static const char* gate = variable("PRESSLING_HELD_GATE");
    if (!folder || !gate || !path || std::strncmp(path, folder, std::strlen(folder)) != 0)
        return;
    int savedErrno = errno;
    while (::access(gate, F_OK) == 0) {
        timespec pause { 0, 1'000'000 };
        ::nanosleep(&pause, nullptr);
    }
    errno = savedErrno;
}

template <typename Function> Function real(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool takesMode(int flags)
{
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
}

}

extern "C" {

#define HELD_OPEN(name)                                                                                      \
    int name(const char* path, int flags, ...)                                                               \
    {                                                                                                        \
        static auto function = real<int (*)(const char*, int, ...)>(#name);                                  \
        mode_t mode = 0;                                                                                     \
        if (takesMode(flags)) {                                                                              \
            va_list arguments;                                                                               \
            va_start(arguments, flags);                                                                      \
            mode = va_arg(arguments, mode_t);                                                                \
            va_end(arguments);                                                                               \
        }                                                                                                    \
        holdIfHeld(path);                                                                                    \
        return function(path, flags, mode);                                                                  \
    }

#define HELD_OPENAT(name)                                                                                    \
    int name(int directory, const char* path, int flags, ...)                                                \
    {                                                                                                        \
        static auto function = real<int (*)(int, const char*, int, ...)>(#name);                             \
        mode_t mode = 0;                                                                                     \
        if (takesMode(flags)) {                                                                              \
            va_list arguments;                                                                               \
            va_start(arguments, flags);                                                                      \
            mode = va_arg(arguments, mode_t);                                                                \
            va_end(arguments);                                                                               \
        }                                                                                                    \
        holdIfHeld(path);                                                                                    \
        return function(directory, path, flags, mode);                                                       \
    }

#define HELD_FORTIFIED_OPEN(name)                                                                            \
    int name(const char* path, int flags)                                                                    \
    {                                                                                                        \
        static auto function = real<int (*)(const char*, int)>(#name);                                       \
        holdIfHeld(path);                                                                                    \
        return function(path, flags);                                                                        \
    }

#define HELD_FORTIFIED_OPENAT(name)                                                                          \
    int name(int directory, const char* path, int flags)                                                     \
    {                                                                                                        \
        static auto function = real<int (*)(int, const char*, int)>(#name);                                  \
        holdIfHeld(path);                                                                                    \
        return function(directory, path, flags);                                                             \
    }

#define HELD_FOPEN(name)                                                                                     \
    FILE* name(const char* path, const char* mode)                                                           \
    {                                                                                                        \
        static auto function = real<FILE* (*)(const char*, const char*)>(#name);                             \
        holdIfHeld(path);                                                                                    \
        return function(path, mode);                                                                         \
    }

HELD_OPEN(open)
HELD_OPEN(open64)
HELD_OPENAT(openat)
HELD_OPENAT(openat64)
HELD_FORTIFIED_OPEN(__open_2)
HELD_FORTIFIED_OPEN(__open64_2)
HELD_FORTIFIED_OPENAT(__openat_2)
HELD_FORTIFIED_OPENAT(__openat64_2)
HELD_FOPEN(fopen)
HELD_FOPEN(fopen64)
}
