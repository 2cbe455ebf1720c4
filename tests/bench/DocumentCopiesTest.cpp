#include "bench/DocumentCopies.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// The sample is the same on every run: the first documents by name, Word 2007 documents only.
TEST(DocumentCopies, SamplesTheFirstWordDocumentsByName)
{
    TemporaryFolder folder;
    for (const char* name : { "c.docx", "a.docx", "b.doc", "d.docx.pdf", "e.docx" })
        folder.write(name, "x");
    fs::create_directory(folder.file("b.docx"));

    std::vector<fs::path> sample = DocumentCopies::sample(folder.path(), 2);
    ASSERT_EQ(sample.size(), 2u);
    EXPECT_EQ(sample[0].filename(), "a.docx");
    EXPECT_EQ(sample[1].filename(), "c.docx");
    EXPECT_EQ(DocumentCopies::sample(folder.path(), 10).size(), 3u);
}

// Round after round the copies get names of their own, so that no copy replaces another and the
// last round may stop halfway.
TEST(DocumentCopies, CopiesRoundAfterRoundUnderNamesOfTheirOwn)
{
    TemporaryFolder sources;
    std::string first = sources.write("one.docx", "first");
    std::string second = sources.write("two.docx", "second");
    // A read-only source still gives writable copies, as a user's documents are.
    fs::permissions(first, fs::perms::owner_read);
    TemporaryFolder target;

    std::vector<std::string> copies = DocumentCopies::make({ first, second }, 5, target.file("in/here"));

    std::string folder = target.file("in/here") + "/";
    EXPECT_EQ(copies,
        (std::vector<std::string> { folder + "one.docx", folder + "two.docx", folder + "r1-one.docx",
            folder + "r1-two.docx", folder + "r2-one.docx" }));
    EXPECT_EQ(readFile(folder + "r2-one.docx"), "first");
    EXPECT_EQ(readFile(folder + "r1-two.docx"), "second");
    EXPECT_TRUE(
        (fs::status(folder + "r1-one.docx").permissions() & fs::perms::owner_write) != fs::perms::none);
    EXPECT_EQ(DocumentCopies::copyName("a.docx", 0), "a.docx");
    EXPECT_EQ(DocumentCopies::copyName("a.docx", 14), "r14-a.docx");
}

// An empty PDF is what a failed store can leave; it is no PDF.
TEST(DocumentCopies, CountsOnlyPdfsThatHoldSomething)
{
    TemporaryFolder folder;
    folder.write("a.docx.pdf", "%PDF-1.7");
    folder.write("b.docx.pdf", "");
    folder.write("c.docx", "%PDF-1.7");
    folder.write("d.pdf", "%PDF-1.7");
    EXPECT_EQ(DocumentCopies::countPdfs(folder.path()), 2);
    EXPECT_EQ(DocumentCopies::countPdfs(folder.file("missing")), 0);
}
