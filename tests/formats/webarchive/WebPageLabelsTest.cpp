#include "formats/webarchive/WebPageLabels.h"

#include <gtest/gtest.h>

using formats::webarchive::labelledPage;
using formats::webarchive::PageLabels;

// Catches labels put where markup is not (a comment, a script), attributes that break an
// unquoted value or an empty element's slash, what the page already says overwritten, text that
// would end the attribute or the title early, and text in the wrong character set.
TEST(WebPageLabels, LabelsOnlyWhatThePageLeavesOut)
{
    const PageLabels labels { "de-DE", "Bericht \"A\" & <B>", { { "Bild 1", "Ein \"rotes\" Quadrat" } } };
    EXPECT_EQ(labelledPage("<!DOCTYPE html>\n<HTML><head><TITLE> </title></head><body>"
                           "<!-- <img src=x> --><script>if (a<img) {}</script>"
                           "<img src=a.png name=\"Bild 1\"/><img src=b.png width=8>"
                           "<img src=c.png alt=\"kept\"></body></HTML>",
                  labels),
        "<!DOCTYPE html>\n<HTML lang=\"de-DE\"><head><TITLE>Bericht &quot;A&quot; &amp; "
        "&lt;B&gt;</title></head><body>"
        "<!-- <img src=x> --><script>if (a<img) {}</script>"
        "<img src=a.png name=\"Bild 1\" alt=\"Ein &quot;rotes&quot; Quadrat\"/><img src=b.png width=8 "
        "alt=\"\">"
        "<img src=c.png alt=\"kept\"></body></HTML>");

    const std::string labelled = "<html lang=\"en\"><head><title>Own</title></head></html>";
    EXPECT_EQ(labelledPage(labelled, labels), labelled);
    EXPECT_EQ(labelledPage("<html><head><meta charset=utf-8></head></html>", { "", "Ä", {} }),
        "<html><head><title>Ä</title><meta charset=utf-8></head></html>");

    // UTF-8 text in a page of another character set would read as mojibake: there everything
    // outside ASCII becomes a character reference.
    const PageLabels german { "de", "Übersicht €", {} };
    EXPECT_EQ(labelledPage(
                  "<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1252\">"
                  "<title></title></head></html>",
                  german),
        "<html lang=\"de\"><head><meta http-equiv=\"content-type\" content=\"text/html; "
        "charset=windows-1252\">"
        "<title>&#220;bersicht &#8364;</title></head></html>");
    EXPECT_EQ(labelledPage("<html><head><title></title></head></html>", german),
        "<html lang=\"de\"><head><title>Übersicht €</title></head></html>");
}
