// The documents of one run: each named once, however it is named.
#include "cli/DocumentSet.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

// Catches a second name of one file let through: two sessions, or two shards on two machines,
// would publish the same document at the same time into the same output and backup.
TEST(DocumentSet, RefusesEveryOtherNameOfADocument)
{
    TemporaryFolder folder;
    const std::string document = folder.write("a.docx", "bytes");
    ASSERT_EQ(::link(document.c_str(), folder.file("hard.docx").c_str()), 0);
    ASSERT_EQ(::symlink(document.c_str(), folder.file("soft.docx").c_str()), 0);
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    for (const std::string& other : { document, folder.path() + "/./a.docx", std::string("a.docx"),
             std::string("sub/../a.docx"), folder.file("hard.docx"), std::string("soft.docx") }) {
        DocumentSet set;
        std::string error;
        ASSERT_TRUE(set.add(document, error)) << error;
        EXPECT_FALSE(set.add(other, error)) << other;
        EXPECT_NE(error.find("name the same document"), std::string::npos) << error;
        EXPECT_EQ(set.paths().size(), 1u);
    }
    // Names that lead nowhere are told apart by their absolute paths, relative ones from the
    // current folder.
    DocumentSet set;
    std::string error;
    EXPECT_TRUE(set.add("missing.docx", error));
    EXPECT_TRUE(set.add("other/missing.docx", error));
    EXPECT_FALSE(set.add(folder.file("missing.docx"), error));
    std::filesystem::current_path(previous);
    EXPECT_EQ(set.paths(),
        (std::vector<std::string> { folder.file("missing.docx"), folder.file("other/missing.docx") }));
}
