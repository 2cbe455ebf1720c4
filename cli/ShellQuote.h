#pragma once

#include <string>
#include <string_view>

// File names as pressling-cli prints them, so that each row stays one line and a shell reads
// the printed form back as the same bytes. A name of printable UTF-8 text is printed as it is.
// One that holds a control character (a line end or a tab would split the row, an escape would
// steer the terminal) or bytes that are no UTF-8 is printed in the shell's $'...' form: \n, \t,
// \\ and \' for those four characters, \xHH for every byte of any other control character and
// for each byte that starts no valid UTF-8 sequence.
class ShellQuote {
public:
    static std::string printable(std::string_view name);
    // True when printable changes name.
    static bool needsQuoting(std::string_view name);
};
