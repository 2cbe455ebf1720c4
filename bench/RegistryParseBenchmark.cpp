// Whether reading the settings store grows with its size alone: builds two valid stores in the
// REGEDIT4 form, one of the small size and one of the large size (1 MB and 10 MB unless the
// arguments say otherwise, in megabytes), times parsing each, and prints the ratio of the parse
// time per megabyte of the large store to that of the small one. A parse that is linear in the
// store's size gives about 1; one that is quadratic gives about the ratio of the two sizes.
#include "platform/RegistryDocument.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int Rounds = 3;

// A store shaped as a user's grows: many keys a few levels deep, each with a handful of values
// of every form, some of them comments or hex data over several lines; one key holds a great
// many values, as a key of recent files does.
std::string buildStore(size_t bytes)
{
    std::string text = "REGEDIT4\n";
    std::string crowded = "\n[HKEY_CURRENT_USER\\Software\\Tarnwick\\Recent]\n";
    for (size_t i = 0; text.size() + crowded.size() < bytes; ++i) {
        std::string number = std::to_string(i);
        if (i % 10 == 0) {
            crowded += "\"File" + number + "\"=\"/home/user/Documents/report " + number + ".docx\"\n";
            continue;
        }
        text += "\n";
        if (i % 7 == 0)
            text += "; settings of group " + number + "\n";
        text += "[HKEY_CURRENT_USER\\Software\\Vendor" + std::to_string(i % 13) + "\\Application"
            + std::to_string(i % 101) + "\\Key" + number + "]\n";
        text += "@=\"default of " + number + "\"\n";
        text += "\"Level\"=dword:0000000" + std::to_string(i % 8) + "\n";
        text += "\"Folder\"=\"C:\\\\Users\\\\someone\\\\" + number + "\"\n";
        text += "\"Path\"=hex(2):25,48,4f,4d,45,25,2f,\\\n  64,6f,63,73,00\n";
    }
    return text + crowded;
}

double secondsToParse(const std::string& text)
{
    double best = 1e30;
    for (int round = 0; round < Rounds; ++round) {
        platform::RegistryDocument document("HKEY_CURRENT_USER");
        auto start = std::chrono::steady_clock::now();
        bool parsed = document.parse(text);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!parsed) {
            std::fprintf(stderr, "the generated store did not parse\n");
            std::exit(1);
        }
        best = std::min(best, seconds);
    }
    return best;
}

}

int main(int argc, char** argv)
{
    double smallMegabytes = argc > 1 ? std::atof(argv[1]) : 1.0;
    double largeMegabytes = argc > 2 ? std::atof(argv[2]) : 10.0;
    if (smallMegabytes <= 0 || largeMegabytes <= smallMegabytes) {
        std::fprintf(stderr, "usage: %s [SMALL_MB LARGE_MB], SMALL_MB < LARGE_MB\n", argv[0]);
        return 2;
    }
    std::string small = buildStore(static_cast<size_t>(smallMegabytes * 1e6));
    std::string large = buildStore(static_cast<size_t>(largeMegabytes * 1e6));
    double smallSeconds = secondsToParse(small);
    double largeSeconds = secondsToParse(large);
    double smallPerMegabyte = smallSeconds / (small.size() / 1e6);
    double largePerMegabyte = largeSeconds / (large.size() / 1e6);
    std::printf("store of %.1f MB: %.3f s to parse (%.3f s per MB)\n", small.size() / 1e6, smallSeconds,
        smallPerMegabyte);
    std::printf("store of %.1f MB: %.3f s to parse (%.3f s per MB)\n", large.size() / 1e6, largeSeconds,
        largePerMegabyte);
    std::printf("ratio of parse time per MB, large to small: %.2f (linear about 1, quadratic about %.0f)\n",
        largePerMegabyte / smallPerMegabyte, large.size() / static_cast<double>(small.size()));
    return 0;
}
