// The arguments of pressling-cli publish: each bad one is a usage error, never a guess.
#include "cli/PublishArguments.h"

#include "publishing/PublishFormat.h"

#include <gtest/gtest.h>

namespace {

bool parse(const std::vector<std::string>& arguments, PublishArguments& out, std::string& error)
{
    return PublishArguments::parse(arguments, out, error);
}

}

// Catches an option whose value is lost between its two spellings, and a path that looks like
// an option after "--" taken for one.
TEST(PublishArguments, ReadsEveryOptionInBothSpellings)
{
    PublishArguments out;
    std::string error;
    ASSERT_TRUE(parse({ "--format", "pdf", "--pdf-a", "3", "--jobs=4", "--files-from", "list", "-0",
                          "--shard=2/5", "--report", "r.jsonl", "a.docx", "--", "--b.docx" },
        out, error))
        << error;
    EXPECT_EQ(out.command, ID_PUBLISH_AS_PDF);
    EXPECT_EQ(out.jobs, 4);
    EXPECT_EQ(out.pdfArchivePart, 3);
    EXPECT_EQ(out.filesFrom, "list");
    EXPECT_TRUE(out.nulSeparated);
    ASSERT_TRUE(out.shard);
    EXPECT_EQ(out.shard->text(), "2/5");
    EXPECT_EQ(out.reportPath, "r.jsonl");
    EXPECT_EQ(out.paths, (std::vector<std::string> { "a.docx", "--b.docx" }));

    PublishArguments plain;
    ASSERT_TRUE(parse({ "--format=xps", "--files-from=-" }, plain, error)) << error;
    EXPECT_EQ(plain.jobs, 1);
    EXPECT_FALSE(plain.pdfArchivePart);
    EXPECT_FALSE(plain.shard);
    EXPECT_TRUE(plain.paths.empty());
    EXPECT_EQ(plain.filesFrom, "-");
}

// Catches bad values taken for a default (--jobs 0 as one session, a second list dropped), so
// that a batch run silently does something else than asked.
TEST(PublishArguments, RefusesBadValuesAndCombinations)
{
    const std::vector<std::vector<std::string>> bad = {
        { "--format", "pdf", "--jobs", "0", "a" },
        { "--format", "pdf", "--jobs", "33", "a" },
        { "--format", "pdf", "--jobs", "-1", "a" },
        { "--format", "pdf", "--jobs", "two", "a" },
        { "--format", "pdf", "--jobs", "1000000000000", "a" },
        { "--format", "pdf", "--jobs=", "a" },
        { "--format", "pdf", "a", "--jobs" },
        { "--format", "pdf", "--shard", "3/2", "a" },
        { "--format", "pdf", "--shard", "x/y", "a" },
        { "--format", "pdf", "-0", "a" },
        { "--format", "pdf", "--files-from", "l1", "--files-from", "l2" },
        { "--format", "pdf", "--files-from=" },
        { "--format", "pdf", "--report=", "a" },
        { "--format", "doc", "a" },
        { "--jobs", "2", "a" },
        { "--format", "pdf" },
        { "--format", "pdf", "--job", "2", "a" },
        { "--format", "pdf", "--pdf-a", "0", "a" },
        { "--format", "pdf", "--pdf-a=4", "a" },
        { "--format", "pdf", "--pdf-a", "1b", "a" },
        { "--format", "xps", "--pdf-a", "1", "a" },
    };
    for (const auto& arguments : bad) {
        PublishArguments out;
        std::string error;
        EXPECT_FALSE(parse(arguments, out, error)) << testing::PrintToString(arguments);
        EXPECT_FALSE(error.empty()) << testing::PrintToString(arguments);
    }
    PublishArguments most;
    std::string error;
    EXPECT_TRUE(parse({ "--format", "pdf", "--jobs", "32", "a" }, most, error)) << error;
}
