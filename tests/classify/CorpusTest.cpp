#include "classify/EncryptedFileFinder.h"
#include "tests/classify/ClassifyTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

// The table of the corpus README: file name to the kind the file list must show.
std::map<std::string, std::string> expectedKinds(const std::string& corpus)
{
    std::map<std::string, std::string> kinds;
    std::ifstream readme(corpus + "/README.md");
    std::string line;
    while (std::getline(readme, line)) {
        if (line.rfind("| ", 0) != 0)
            continue;
        std::vector<std::string> cells;
        std::stringstream row(line.substr(1));
        std::string cell;
        while (std::getline(row, cell, '|')) {
            size_t first = cell.find_first_not_of(' ');
            size_t last = cell.find_last_not_of(' ');
            cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
        }
        if (cells.size() >= 3 && (cells[2] == "none" || cells[2] == "PWD" || cells[2] == "IRM"))
            kinds[cells[0]] = cells[2];
    }
    return kinds;
}

std::string kindName(ProtectionKind kind)
{
    return kind == PROTECTION_PASSWORD ? "PWD" : kind == PROTECTION_IRM ? "IRM" : "none";
}

}

// Catches any real Office file judged differently from what its README says, such as the
// encrypted PowerPoint file without an "EncryptedSummary" stream.
TEST(Corpus, RealOfficeFilesGetTheirTablesKind)
{
    std::string corpus = classifytest::officeCryptoCorpus();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus beside this checkout";
    std::map<std::string, std::string> kinds = expectedKinds(corpus);
    ASSERT_GE(kinds.size(), 17u);
    for (const auto& [name, expected] : kinds) {
        std::string path = corpus + "/" + name;
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        ProtectionKind kind = PROTECTION_NONE;
        EncryptedFileFinder finder { TraceSink() };
        bool isProtected = finder.isEncryptedFile(path.c_str(), kind);
        EXPECT_EQ(kindName(kind), expected) << name;
        EXPECT_EQ(isProtected, expected != "none") << name;
    }
}
