#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// The documents of the publishing benchmarks: a few real Word documents of the corpus, copied as
// often as a run needs under names of their own, so that every side of a comparison works on
// fresh files of the same contents and the same folder layout.
class DocumentCopies {
public:
    // The first count ".docx" files of folder, sorted by name; fewer when the folder has fewer.
    static std::vector<std::filesystem::path> sample(const std::filesystem::path& folder, size_t count);
    // The sample of count Word documents of the corpus beside the source tree (PRESSLING_SOURCE_DIR,
    // else sourceTree); nothing, with a line on standard error that names program, when the
    // corpus holds fewer.
    static std::vector<std::filesystem::path> wordCorpus(
        const char* program, const std::filesystem::path& sourceTree, size_t count);

    // The name of the copy of name in round: the name itself in round 0, "r1-name" in round 1,
    // "r2-name" in round 2 and so on.
    static std::string copyName(const std::string& name, size_t round);

    // Copies sources into folder (created when missing) until there are count copies, round after
    // round, each writable by its owner as a user's document is. Returns their paths in order.
    static std::vector<std::string> make(
        const std::vector<std::filesystem::path>& sources, size_t count, const std::filesystem::path& folder);

    // How many files of folder end with ".pdf" and hold something.
    static int countPdfs(const std::filesystem::path& folder);
};
