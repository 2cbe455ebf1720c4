#pragma once

#include <filesystem>
#include <vector>

namespace benchtest {

// The first count Word documents of the corpus beside this checkout; empty when it is not there.
std::vector<std::filesystem::path> wordDocuments(size_t count);

}
