#include "platform/FileUriList.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace uris = platform::fileUriList;

using Paths = std::vector<std::string>;

// Catches names that other programs would read as other files: a space, a non-ASCII name, a
// byte that is not UTF-8 and a line feed inside a name must all travel percent-encoded, each
// URI on its own CRLF-ended line, and come back as the same bytes.
TEST(FileUriList, NamesTravelPercentEncodedAndComeBackAsTheSameBytes)
{
    Paths paths = { "/home/u/Quarterly report.docx",
        "/home/u/Bericht \xc3\xbc"
        "ber.doc",
        "/home/u/latin1 \xfc.doc", "/home/u/two\nlines.doc", "/home/u/100%.xls" };
    std::string list = uris::uriList(paths);
    EXPECT_EQ(list,
        "file:///home/u/Quarterly%20report.docx\r\n"
        "file:///home/u/Bericht%20%C3%BCber.doc\r\n"
        "file:///home/u/latin1%20%FC.doc\r\n"
        "file:///home/u/two%0Alines.doc\r\n"
        "file:///home/u/100%25.xls\r\n");
    EXPECT_EQ(uris::localPathsOfUriList(list), paths);

    std::string gnome = uris::gnomeCopiedFiles(paths);
    EXPECT_EQ(gnome.substr(0, gnome.find('\n')), "copy");
    EXPECT_EQ(gnome.find('\r'), std::string::npos) << "GNOME's list separates with a line feed alone";
    EXPECT_EQ(uris::localPathsOfGnomeCopiedFiles(gnome), paths);
}

// Catches a paste that copies from somewhere other than a local file: another scheme, another
// host, a relative or malformed URI, or an escaped slash that would make a name into a path.
TEST(FileUriList, OnlyLocalFilesAreRead)
{
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    std::string list = "# a comment line\r\n"
                       "file:///tmp/first.doc\r\n"
                       "http://example.com/web.doc\r\n"
                       "smb://server/share/remote.doc\r\n"
                       "file://otherhost.example/tmp/elsewhere.doc\r\n"
                       "file://localhost/tmp/second.doc\r\n"
                       "file://"
        + std::string(host)
        + "/tmp/third.doc\r\n"
          "relative.doc\r\n"
          "file:relative.doc\r\n"
          "file:///tmp/bad%zzescape.doc\r\n"
          "file:///tmp/sneaky%2F..%2Fpasswd\r\n"
          "\r\n"
          "file:///tmp/fourth.doc\n"
          "file:///tmp/after-nul.doc";
    list.insert(list.rfind("file:"), 1, '\0');
    EXPECT_EQ(uris::localPathsOfUriList(list),
        (Paths { "/tmp/first.doc", "/tmp/second.doc", "/tmp/third.doc", "/tmp/fourth.doc" }));
}

// A cut from a file manager is a list like a copy; anything that does not start with either is
// no file list at all.
TEST(FileUriList, GnomeListsOfCopyAndCutAreReadAndOthersAreNot)
{
    EXPECT_EQ(uris::localPathsOfGnomeCopiedFiles("cut\nfile:///tmp/a.doc\nfile:///tmp/b.doc\n"),
        (Paths { "/tmp/a.doc", "/tmp/b.doc" }));
    EXPECT_EQ(uris::localPathsOfGnomeCopiedFiles("copy\r\nfile:///tmp/a.doc\r\n"), (Paths { "/tmp/a.doc" }));
    EXPECT_TRUE(uris::localPathsOfGnomeCopiedFiles("file:///tmp/a.doc\nfile:///tmp/b.doc").empty());
    EXPECT_TRUE(uris::localPathsOfGnomeCopiedFiles("").empty());
    EXPECT_TRUE(uris::localPathsOfGnomeCopiedFiles("copy").empty());
    EXPECT_TRUE(uris::uriList({ "relative/path.doc" }).empty()) << "a relative path has no file URI";
}

// Thousands of files make one list of every one of them, in order.
TEST(FileUriList, ThousandsOfFilesAreAllRead)
{
    Paths paths;
    for (int index = 0; index < 5000; ++index)
        paths.push_back("/data/archive/document " + std::to_string(index) + ".docx");
    EXPECT_EQ(uris::localPathsOfUriList(uris::uriList(paths)), paths);
}
