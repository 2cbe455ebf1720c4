#include "platform/RandomBytes.h"

#include <cerrno>
#include <sys/random.h>

namespace platform {

bool fillRandomBytes(void* buffer, size_t length)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        ssize_t got = getrandom(bytes, length, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        length -= static_cast<size_t>(got);
    }
    return true;
}

}
