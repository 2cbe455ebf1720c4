#pragma once

#include <cstdio>
#include <functional>
#include <string_view>

// Where a library leaves its trace lines, the few lines that the behaviour writes outside the log
// (a file that could not be read, the window geometry saved on close). A library never picks a
// stream itself: the program that makes it hands in a sink, so that the desktop program keeps the
// lines on standard output while pressling-cli keeps its standard output for its rows alone.
class TraceSink {
public:
    // Receives one line, its line end included.
    using Write = std::function<void(std::string_view line)>;

    // A sink that drops every line.
    TraceSink() = default;
    explicit TraceSink(Write write);

    // Writes each line to stream at once, so that a trace keeps its place among what else the
    // program writes there.
    static TraceSink writingTo(std::FILE* stream);

    void line(const char* format, ...) const __attribute__((format(printf, 2, 3)));

private:
    Write m_write;
};
