#include "platform/InputText.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Opens without waiting: an ordinary open of a named pipe waits until a writer comes, which may
// be never. Once open, reads wait as ordinary reads do, and a pipe without a writer reads as
// its end.
int openWithoutWaiting(const std::string& name)
{
    int descriptor = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0)
        return -1;
    int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        int error = errno;
        ::close(descriptor);
        errno = error;
        return -1;
    }
    return descriptor;
}

void readAll(int descriptor, size_t limit, InputText& input)
{
    char buffer[65536];
    for (;;) {
        ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            input.failure = InputText::Failure::ReadFailed;
            input.error = errno;
            return;
        }
        if (count == 0)
            return;
        if (input.bytes.size() + static_cast<size_t>(count) > limit) {
            input.failure = InputText::Failure::TooLarge;
            return;
        }
        input.bytes.append(buffer, static_cast<size_t>(count));
    }
}

}

InputText InputText::read(const std::string& name, size_t limit)
{
    InputText input;
    const bool standardInput = name == "-";
    int descriptor = standardInput ? 0 : openWithoutWaiting(name);
    if (descriptor < 0) {
        input.failure = Failure::CannotOpen;
        input.error = errno;
        return input;
    }
    struct stat status { };
    if (::fstat(descriptor, &status) != 0) {
        input.failure = Failure::CannotOpen;
        input.error = errno;
    } else if (S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)
        || (standardInput && S_ISCHR(status.st_mode))) {
        // Standard input is what the user put there: a terminal (names typed, ended by Ctrl-D),
        // /dev/null, even /dev/zero, which the limit stops.
        readAll(descriptor, limit, input);
    } else {
        input.failure = Failure::NotFileOrPipe;
    }
    if (!standardInput)
        ::close(descriptor);
    return input;
}

}
