// A program that logs and exits, so that each test of the log configuration gets a process of its
// own: the configuration is read once per process. Its first argument says what to log; it
// prints the log path it was configured with.
#include "foundation/Log.h"
#include "foundation/LogConfiguration.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

void logConcurrently()
{
    // Every thread's first call races for the configuration.
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 8; ++thread) {
        threads.emplace_back([thread] {
            for (int line = 0; line < 50; ++line)
                logError("LogChild#threads,%d,line %d of thread %d", thread, line, thread);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
}

// Many threads at once, every sixth message long enough to take several writes to the file,
// each made of its thread's letter, so that a torn or interleaved line shows in its content.
void logWholeLinesConcurrently()
{
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 16; ++thread) {
        threads.emplace_back([thread] {
            for (int line = 0; line < 120; ++line) {
                size_t length = line % 6 == 0 ? 4000 + 1000 * static_cast<size_t>(line / 6) : 10 + line;
                std::string filler(length, static_cast<char>('a' + thread));
                logError("LogChild#whole,%d,%d,%s", thread, line, filler.c_str());
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
}

}

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "levels";
    if (mode == "levels") {
        logError("LogChild#main,1,error %d", 1);
        logDebug("LogChild#main,2,debug %d", 2);
        logTrace("LogChild#main,3,trace %d", 3);
    } else if (mode == "long") {
        logError("%s", std::string(40000, 'x').c_str());
    } else if (mode == "empty") {
        logError("%s", "");
    } else if (mode == "threads") {
        logConcurrently();
    } else if (mode == "whole") {
        logWholeLinesConcurrently();
    } else {
        fprintf(stderr, "unknown mode %s\n", mode.c_str());
        return 2;
    }
    printf("%s\n", LogConfiguration::get().getLogFilePath());
    return 0;
}
