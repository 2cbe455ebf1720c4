#include "bench/DocumentCopies.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace fs = std::filesystem;

std::vector<fs::path> DocumentCopies::sample(const fs::path& folder, size_t count)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == ".docx")
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    if (found.size() > count)
        found.resize(count);
    return found;
}

std::vector<fs::path> DocumentCopies::wordCorpus(
    const char* program, const fs::path& sourceTree, size_t count)
{
    const char* sourceDir = std::getenv("PRESSLING_SOURCE_DIR");
    fs::path corpus
        = fs::path(sourceDir ? sourceDir : sourceTree) / ".." / "shared" / "corpus" / "documents" / "word";
    std::vector<fs::path> sources = sample(corpus, count);
    if (sources.size() >= count)
        return sources;
    std::fprintf(stderr, "%s: fewer than %zu Word documents in %s\n", program, count, corpus.c_str());
    return {};
}

std::string DocumentCopies::copyName(const std::string& name, size_t round)
{
    return round == 0 ? name : "r" + std::to_string(round) + "-" + name;
}

std::vector<std::string> DocumentCopies::make(
    const std::vector<fs::path>& sources, size_t count, const fs::path& folder)
{
    fs::create_directories(folder);
    std::vector<std::string> copies;
    for (size_t i = 0; i < count && !sources.empty(); ++i) {
        const fs::path& source = sources[i % sources.size()];
        fs::path copy = folder / copyName(source.filename().string(), i / sources.size());
        fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
        fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
        copies.push_back(copy.string());
    }
    return copies;
}

int DocumentCopies::countPdfs(const fs::path& folder)
{
    std::error_code failure;
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder, failure)) {
        if (entry.path().extension() == ".pdf" && entry.is_regular_file() && entry.file_size() > 0)
            ++count;
    }
    return count;
}
