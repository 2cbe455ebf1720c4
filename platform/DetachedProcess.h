#pragma once

#include <string>
#include <vector>

namespace platform {

// Starts argv[0] (looked up on PATH when it has no '/') with arguments argv[1..] in a session
// of its own (setsid), with this process's environment and working folder, standard input
// from /dev/null and no other inherited descriptors. The program runs on by itself and is
// never left as a zombie of ours. 0 when it started, otherwise an errno value (exec failures
// included, reported through a close-on-exec pipe).
int startDetached(const std::vector<std::string>& argv);

}
