#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The way to an outside log viewer: a Unix-domain stream socket named
// "$XDG_RUNTIME_DIR/pressling-log-viewer" that a viewer may bind and listen on. Every append is
// one connection that carries the bytes and is then closed, so a viewer reads each connection to
// its end and adds what it got to its text. With no viewer listening (or no XDG_RUNTIME_DIR) an
// append does nothing. An append never blocks the caller for long, never reports an error and
// never raises SIGPIPE.
class LogViewerSocket {
public:
    // The socket's path; empty when XDG_RUNTIME_DIR is unset or empty.
    static std::string path();
    static void append(const char* bytes, size_t length);

    // How long one append may wait for a slow viewer before the rest of its bytes is dropped.
    static constexpr int TimeLimitMilliseconds = 100;
};

}
