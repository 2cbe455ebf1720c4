#pragma once

namespace platform {

// Makes a write to a pipe or socket whose other end is gone fail with EPIPE instead of ending
// the process with SIGPIPE. The office's connection is such a socket: an office that dies in the
// middle of a call must be an error of that call, never the end of the program. Programs that
// this process starts get the default handling back.
void ignoreBrokenPipes();

}
