#include "platform/BrokenPipes.h"

#include <csignal>

namespace platform {

void ignoreBrokenPipes()
{
    struct sigaction action { };
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGPIPE, &action, nullptr);
}

}
