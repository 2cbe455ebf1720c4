#include "office/ComError.h"
#include "office/OfficeFormat.h"
#include "tests/office/libreoffice/OfficePublishChecks.h"
#include "tests/office/libreoffice/OfficeTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace office;
using namespace officetest;

namespace {

PublishedSet publishPresentation(const std::string& source, const TemporaryFolder& folder, bool withXps)
{
    PublishedSet set = outputsBeside(source, folder.path(), withXps);
    std::shared_ptr<PowerPointPresentation> presentation = sharedPowerPoint()->presentations()->open(source);
    EXPECT_TRUE(presentation) << source;
    if (!presentation)
        return set;
    EXPECT_EQ(presentation->saveAs(set.text, powerPointFormat::text), hresult::ok);
    EXPECT_EQ(presentation->saveAs(set.unicodeText, powerPointFormat::unicodeText), hresult::ok);
    EXPECT_EQ(presentation->saveAs(set.html, powerPointFormat::html), hresult::ok);
    EXPECT_EQ(presentation->saveAs(set.webArchive, powerPointFormat::webArchive), hresult::ok);
    EXPECT_EQ(presentation->saveAs(set.pdf, powerPointFormat::pdf), hresult::ok);
    if (withXps) {
        EXPECT_EQ(presentation->saveAs(set.xps, powerPointFormat::xps), hresult::ok);
    }
    EXPECT_EQ(presentation->close(), hresult::ok);
    return set;
}

}

// Catches a presentation format that fails or loses the slides' text for any real deck.
TEST(OfficePowerPointTest, EveryCorpusPresentationPublishesInEveryFormat)
{
    TemporaryFolder folder;
    std::vector<std::string> presentations = corpusFiles("documents/powerpoint", { ".pptx" });
    presentations.push_back(corpus("office-crypto/plain.ppt"));
    ASSERT_GE(presentations.size(), 20u);
    for (size_t index = 0; index < presentations.size(); ++index) {
        const std::string& source = presentations[index];
        SCOPED_TRACE(source);
        std::string before = readFile(source);
        PublishedSet set = publishPresentation(source, folder, index % 8 == 0);
        std::string text = checkEveryOutput(set, folder.file("xps-render.pdf"));
        EXPECT_EQ(readFile(source), before) << "the source changed";
    }
    EXPECT_EQ(sharedPowerPoint()->presentations()->count(), 0);
}

// Catches slide text out of slide order, or shapes (groups, tables) left out.
TEST(OfficePowerPointTest, TextFollowsSlidesAndShapes)
{
    TemporaryFolder folder;
    PublishedSet set = publishPresentation(corpus("documents/powerpoint/test_slides.pptx"), folder, false);
    std::string text = checkTextPair(set);
    size_t first = text.find("Test text");
    size_t group = text.find("Group test text");
    size_t table = text.find("Col head 1\tCol head 2");
    EXPECT_NE(first, std::string::npos);
    EXPECT_NE(group, std::string::npos);
    EXPECT_NE(table, std::string::npos);
    EXPECT_LT(first, group);

    PublishedSet slides = publishPresentation(corpus("documents/powerpoint/sld-slides.pptx"), folder, false);
    checkTextPair(slides);
}

// Catches presentation HTML or web archives that a browser cannot show.
TEST(OfficePowerPointTest, BrowserShowsHtmlAndWebArchive)
{
    TemporaryFolder folder;
    PublishedSet set = publishPresentation(corpus("documents/powerpoint/test_slides.pptx"), folder, false);
    EXPECT_NE(chromiumDom(set.html).find("Group test text"), std::string::npos);
    EXPECT_NE(chromiumDom(set.webArchive).find("Group test text"), std::string::npos);
}

// Catches PowerPoint's end-of-session calls failing on a headless office.
TEST(OfficePowerPointTest, WindowStateIsKeptAndThereIsNoWindow)
{
    auto powerPoint = sharedPowerPoint();
    int32_t state = powerPoint->windowState();
    powerPoint->setWindowState(2);
    EXPECT_EQ(powerPoint->windowState(), 2);
    powerPoint->setWindowState(state);
    EXPECT_EQ(powerPoint->hwnd(), 0);
}
