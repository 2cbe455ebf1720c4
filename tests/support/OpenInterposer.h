#pragma once

// The C library's open functions, wrapped for a library loaded with LD_PRELOAD: every open,
// openat, their 64-bit and fortified forms and fopen first calls beforeOpen(directory, path)
// (directory is AT_FDCWD where the call has none), with errno kept, and then opens as the C
// library does. Include it in exactly one source file of such a library, after defining
// beforeOpen there; build that library with -U_FORTIFY_SOURCE, whose inline open would stand in
// the way.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>

void beforeOpen(int directory, const char* path);

namespace openInterposer {

// The C library's own function of that name; each wrapper keeps it in a static of its own.
template <typename Function> Function real(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// open's mode argument is only there when the flags create a file.
inline bool takesMode(int flags)
{
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
}

inline void before(int directory, const char* path)
{
    int savedErrno = errno;
    beforeOpen(directory, path);
    errno = savedErrno;
}

}

#define OPEN_INTERPOSER_MODE(flags, mode)                                                                    \
    mode_t mode = 0;                                                                                         \
    if (openInterposer::takesMode(flags)) {                                                                  \
        va_list arguments;                                                                                   \
        va_start(arguments, flags);                                                                          \
        mode = va_arg(arguments, mode_t);                                                                    \
        va_end(arguments);                                                                                   \
    }

#define OPEN_INTERPOSER_OPEN(name)                                                                           \
    int name(const char* path, int flags, ...)                                                               \
    {                                                                                                        \
        static auto function = openInterposer::real<int (*)(const char*, int, ...)>(#name);                  \
        OPEN_INTERPOSER_MODE(flags, mode)                                                                    \
        openInterposer::before(AT_FDCWD, path);                                                              \
        return function(path, flags, mode);                                                                  \
    }

#define OPEN_INTERPOSER_OPENAT(name)                                                                         \
    int name(int directory, const char* path, int flags, ...)                                                \
    {                                                                                                        \
        static auto function = openInterposer::real<int (*)(int, const char*, int, ...)>(#name);             \
        OPEN_INTERPOSER_MODE(flags, mode)                                                                    \
        openInterposer::before(directory, path);                                                             \
        return function(directory, path, flags, mode);                                                       \
    }

// The fortified entries that _FORTIFY_SOURCE builds call in place of open and openat.
#define OPEN_INTERPOSER_OPEN_2(name)                                                                         \
    int name(const char* path, int flags)                                                                    \
    {                                                                                                        \
        static auto function = openInterposer::real<int (*)(const char*, int)>(#name);                       \
        openInterposer::before(AT_FDCWD, path);                                                              \
        return function(path, flags);                                                                        \
    }

#define OPEN_INTERPOSER_OPENAT_2(name)                                                                       \
    int name(int directory, const char* path, int flags)                                                     \
    {                                                                                                        \
        static auto function = openInterposer::real<int (*)(int, const char*, int)>(#name);                  \
        openInterposer::before(directory, path);                                                             \
        return function(directory, path, flags);                                                             \
    }

// The C library's fopen opens through its own internal open, which no wrapper above sees.
#define OPEN_INTERPOSER_FOPEN(name)                                                                          \
    FILE* name(const char* path, const char* mode)                                                           \
    {                                                                                                        \
        static auto function = openInterposer::real<FILE* (*)(const char*, const char*)>(#name);             \
        openInterposer::before(AT_FDCWD, path);                                                              \
        return function(path, mode);                                                                         \
    }

extern "C" {
OPEN_INTERPOSER_OPEN(open)
OPEN_INTERPOSER_OPEN(open64)
OPEN_INTERPOSER_OPENAT(openat)
OPEN_INTERPOSER_OPENAT(openat64)
OPEN_INTERPOSER_OPEN_2(__open_2)
OPEN_INTERPOSER_OPEN_2(__open64_2)
OPEN_INTERPOSER_OPENAT_2(__openat_2)
OPEN_INTERPOSER_OPENAT_2(__openat64_2)
OPEN_INTERPOSER_FOPEN(fopen)
OPEN_INTERPOSER_FOPEN(fopen64)
}
