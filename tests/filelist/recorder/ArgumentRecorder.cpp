// A program for the launcher's tests to open documents with: it writes down its session, its
// process and every argument it was given (each as its length, a colon and its bytes) into the
// file that PRESSLING_RECORDER_OUTPUT names. It writes under a temporary name and renames, so a
// test that sees the file sees all of it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    const char* output = std::getenv("PRESSLING_RECORDER_OUTPUT");
    if (!output || !*output)
        return 2;
    std::string record = "sid=" + std::to_string(getsid(0)) + "\npid=" + std::to_string(getpid()) + "\n";
    for (int i = 1; i < argc; ++i)
        record += std::to_string(std::strlen(argv[i])) + ":" + argv[i] + "\n";
    std::string temporary = std::string(output) + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return 3;
    bool written = std::fwrite(record.data(), 1, record.size(), file) == record.size();
    if (std::fclose(file) != 0 || !written)
        return 4;
    return std::rename(temporary.c_str(), output) == 0 ? 0 : 5;
}
