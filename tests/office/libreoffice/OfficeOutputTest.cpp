#include "office/ComError.h"
#include "office/OfficeFormat.h"
#include "platform/ChildProcess.h"
#include "tests/office/libreoffice/OfficePublishChecks.h"
#include "tests/office/libreoffice/OfficeTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <utility>

using namespace office;
using namespace officetest;
using namespace std::chrono_literals;

namespace {

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// A file system of a few kilobytes in a folder of its own, as a disk that is full; unmounted
// when the test is done.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& path)
        : m_path(path)
    {
        std::filesystem::create_directory(path);
        auto result
            = platform::ChildProcess::run({ "mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", path }, 30s);
        m_mounted = result.succeeded();
        m_reason = result.error + result.standardError;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            platform::ChildProcess::run({ "umount", m_path }, 30s);
    }
    bool mounted() const { return m_mounted; }
    const std::string& reason() const { return m_reason; }

private:
    std::string m_path;
    bool m_mounted = false;
    std::string m_reason;
};

struct Target {
    const char* suffix;
    int32_t format;
    const char* starts;
};

const Target wordTargets[] = { { ".pdf", wordFormat::pdf, "%PDF" },
    { ".html", wordFormat::html, "<!DOCTYPE" }, { ".txt", wordFormat::text, "" },
    { ".unicode.txt", wordFormat::unicodeText, "\xFF\xFE" },
    { ".mhtml", wordFormat::webArchive, "From: <Saved by Pressling>" }, { ".xps", wordFormat::xps, "PK" } };

}

// Catches an output written through a link that stands under its name (a.docx.pdf pointing at
// ../victim.txt), which let publishing overwrite any file the user may write.
TEST(OfficeOutput, LinkUnderTheOutputNameIsReplacedNotWrittenThrough)
{
    TemporaryFolder folder;
    std::string victim = folder.write("victim.txt", "precious");
    std::filesystem::create_directory(folder.file("out"));
    auto document = sharedWord()->documents()->open(corpus("documents/word/par-known-paragraphs.docx"));
    ASSERT_TRUE(document);
    for (const Target& target : wordTargets) {
        SCOPED_TRACE(target.suffix);
        std::string output = folder.file(std::string("out/a.docx") + target.suffix);
        std::filesystem::create_symlink("../victim.txt", output);
        EXPECT_EQ(document->saveAs(output, target.format), hresult::ok);
        EXPECT_EQ(readFile(victim), "precious") << "the output was written through the link";
        EXPECT_FALSE(std::filesystem::is_symlink(output));
        EXPECT_EQ(readFile(output).rfind(target.starts, 0), 0u) << "not the output asked for";
    }
    document->close();
    for (const std::string& name : namesIn(folder.file("out")))
        EXPECT_EQ(name.find(".~pressling"), std::string::npos) << "left beside the outputs: " << name;
}

// Catches an HTML page that arrives without its images, or its images under names the page
// does not use, now that the page is written elsewhere first.
TEST(OfficeOutput, HtmlPageArrivesWithTheImagesItNames)
{
    TemporaryFolder folder;
    auto document = sharedWord()->documents()->open(corpus("documents/word/having-images.docx"));
    ASSERT_TRUE(document);
    std::string page = folder.file("having-images.docx.html");
    ASSERT_EQ(document->saveAs(page, wordFormat::html), hresult::ok);
    document->close();
    std::string html = readFile(page);
    std::regex source("<img[^>]* src=\"([^\"]+)\"");
    std::set<std::string> expected { "having-images.docx.html" };
    for (auto match = std::sregex_iterator(html.begin(), html.end(), source); match != std::sregex_iterator();
         ++match)
        expected.insert((*match)[1].str());
    EXPECT_GE(expected.size(), 2u) << "the page names no image";
    std::set<std::string> names = namesIn(folder.path());
    EXPECT_EQ(names, expected) << "the folder holds other files than the page and the images it names";
    EXPECT_TRUE(std::none_of(names.begin(), names.end(),
        [](const std::string& name) { return name.find(".~pressling") != std::string::npos; }));
}

// Catches an export that fails for a full disk and leaves a half-written or empty output in
// place of the previous one, or its temporary beside it.
TEST(OfficeOutput, FullDiskKeepsThePreviousOutputWhole)
{
    TemporaryFolder folder;
    SmallDisk disk(folder.file("disk"));
    if (!disk.mounted())
        GTEST_SKIP() << "no small file system can be mounted here: " << disk.reason();
    std::string pdf = folder.write("disk/a.docx.pdf", "the previous PDF");
    std::string html = folder.write("disk/a.docx.html", "the previous page");
    {
        // Whatever is left of the disk is taken.
        std::ofstream filler(folder.file("disk/filler"), std::ios::binary);
        std::string block(4096, 'f');
        while (filler.write(block.data(), block.size()))
            ;
    }
    auto document = sharedWord()->documents()->open(corpus("documents/word/having-images.docx"));
    ASSERT_TRUE(document);
    for (const auto& [output, format] :
        { std::pair { pdf, wordFormat::pdf }, std::pair { html, wordFormat::html } }) {
        SCOPED_TRACE(output);
        try {
            document->saveAs(output, format);
            ADD_FAILURE() << "the export reported success on a full disk";
        } catch (const ComError& error) {
            // The office writes into its own folder; what fails is putting its output on the disk.
            EXPECT_NE(std::string(error.getMessage()).find("cannot hand over"), std::string::npos)
                << "the office never tried: " << error.getMessage();
        }
    }
    document->close();
    EXPECT_TRUE(readFile(pdf) == "the previous PDF") << "the previous PDF was replaced";
    EXPECT_TRUE(readFile(html) == "the previous page") << "the previous page was replaced";
    EXPECT_EQ(
        namesIn(folder.file("disk")), (std::set<std::string> { "a.docx.html", "a.docx.pdf", "filler" }));
}
