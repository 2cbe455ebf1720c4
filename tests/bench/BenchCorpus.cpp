#include "tests/bench/BenchCorpus.h"

#include "bench/DocumentCopies.h"

#include <cstdlib>

namespace benchtest {

std::vector<std::filesystem::path> wordDocuments(size_t count)
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    std::filesystem::path folder
        = std::filesystem::path(source ? source : ".") / ".." / "shared" / "corpus" / "documents" / "word";
    if (!std::filesystem::is_directory(folder))
        return {};
    return DocumentCopies::sample(folder, count);
}

}
