#pragma once

namespace platform {

// True when the descriptor (1 standard output, 2 standard error) is a terminal.
bool isTerminal(int descriptor);

}
