#include "office/ComError.h"
#include "office/OfficeFormat.h"
#include "tests/office/libreoffice/OfficePublishChecks.h"
#include "tests/office/libreoffice/OfficeTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace office;
using namespace officetest;

namespace {

// Publishes one Word document into every format beside a copy of it, as the Word publisher
// names the outputs.
PublishedSet publishWord(const std::string& source, const TemporaryFolder& folder, bool withXps)
{
    PublishedSet set = outputsBeside(source, folder.path(), withXps);
    std::shared_ptr<WordDocuments> documents = sharedWord()->documents();
    std::shared_ptr<WordDocument> document = documents->open(source);
    EXPECT_TRUE(document) << source;
    if (!document)
        return set;
    EXPECT_FALSE(document->readOnlyRecommended()) << source;
    EXPECT_EQ(document->saveAs(set.text, wordFormat::text), hresult::ok);
    EXPECT_EQ(document->saveAs(set.unicodeText, wordFormat::unicodeText), hresult::ok);
    EXPECT_EQ(document->saveAs(set.html, wordFormat::html), hresult::ok);
    EXPECT_EQ(document->saveAs(set.webArchive, wordFormat::webArchive), hresult::ok);
    EXPECT_EQ(document->saveAs(set.pdf, wordFormat::pdf), hresult::ok);
    if (withXps) {
        EXPECT_EQ(document->saveAs(set.xps, wordFormat::xps), hresult::ok);
    }
    EXPECT_EQ(document->close(), hresult::ok);
    return set;
}

std::vector<std::string> wordCorpus()
{
    std::vector<std::string> files = corpusFiles("documents/word", { ".docx" });
    files.push_back(corpus("office-crypto/plain.doc"));
    files.push_back(corpus("office-crypto/decrypted-rc4cryptoapi_password_plain.doc"));
    files.push_back(corpus("office-crypto/decrypted-example.docx"));
    return files;
}

}

// Catches a format whose filter, encoding or line ends are wrong for any real Word document,
// and a source document that a publish changes.
TEST(OfficeWordTest, EveryCorpusDocumentPublishesInEveryFormat)
{
    TemporaryFolder folder;
    std::vector<std::string> documents = wordCorpus();
    ASSERT_GE(documents.size(), 20u);
    size_t withWords = 0;
    for (size_t index = 0; index < documents.size(); ++index) {
        const std::string& source = documents[index];
        SCOPED_TRACE(source);
        std::string before = readFile(source);
        // XPS goes through a page-by-page conversion; a few documents cover it.
        PublishedSet set = publishWord(source, folder, index % 6 == 0);
        std::string text = checkEveryOutput(set, folder.file("xps-render.pdf"));
        EXPECT_EQ(readFile(source), before) << "the source changed";
        withWords += sampleWords(text, 1).empty() ? 0 : 1;
    }
    // Most of the corpus has text; an export that loses it everywhere must not pass.
    EXPECT_GE(withWords, documents.size() / 2);
    EXPECT_EQ(sharedWord()->documents()->count(), 0);
}

// Catches HTML or web archives that a browser cannot show, or a web archive without its images.
TEST(OfficeWordTest, BrowserShowsHtmlAndWebArchiveWithImages)
{
    TemporaryFolder folder;
    PublishedSet set = publishWord(corpus("documents/word/having-images.docx"), folder, false);
    std::string htmlDom = chromiumDom(set.html);
    std::string archiveDom = chromiumDom(set.webArchive);
    EXPECT_NE(htmlDom.find("<img"), std::string::npos);
    EXPECT_NE(archiveDom.find("<img"), std::string::npos) << "the web archive shows no image";

    PublishedSet paragraphs = publishWord(corpus("documents/word/par-known-paragraphs.docx"), folder, false);
    std::string text = checkTextPair(paragraphs);
    std::string dom = chromiumDom(paragraphs.webArchive);
    ASSERT_FALSE(sampleWords(text, 3).empty());
    for (const std::string& word : sampleWords(text, 3))
        EXPECT_NE(dom.find(word), std::string::npos) << "web archive in the browser lacks " << word;
}

// Catches Word text that follows the process locale instead of pinning UTF-8 and UTF-16.
TEST(OfficeWordTest, TextTargetsIgnoreTheLocale)
{
    TemporaryFolder folder;
    std::string source = corpus("documents/word/par-known-paragraphs.docx");
    setenv("LC_ALL", "C", 1);
    PublishedSet set = publishWord(source, folder, false);
    unsetenv("LC_ALL");
    std::string unicode = checkTextPair(set);
    EXPECT_EQ(readFile(set.text), unicode);
}

// Catches SaveAs writing somewhere other than exactly the given name, or failing to replace a
// file published before.
TEST(OfficeWordTest, SaveAsReplacesAnEarlierOutput)
{
    TemporaryFolder folder;
    std::string target = folder.write("report.docx.html", "stale");
    auto document = sharedWord()->documents()->open(corpus("documents/word/par-known-paragraphs.docx"));
    ASSERT_TRUE(document);
    EXPECT_EQ(document->saveAs(target, wordFormat::html), hresult::ok);
    EXPECT_EQ(document->saveAs(target, wordFormat::html), hresult::ok);
    document->close();
    EXPECT_NE(readFile(target).find("<html"), std::string::npos);
    EXPECT_FALSE(fileExists(folder.file("report.docx")));
}
