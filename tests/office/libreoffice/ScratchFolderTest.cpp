#include "office/libreoffice/ScratchFolder.h"
#include "tests/support/FolderLock.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using office::ScratchFolder;

namespace {

// True when text has no UTF-8 sequence cut short or started in the middle.
bool wholeUtf8(const std::string& text)
{
    for (size_t index = 0; index < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[index]);
        size_t length = lead < 0x80 ? 1
            : (lead >> 5) == 0x6    ? 2
            : (lead >> 4) == 0xE    ? 3
            : (lead >> 3) == 0x1E   ? 4
                                    : 0;
        if (length == 0 || index + length > text.size())
            return false;
        for (size_t next = 1; next < length; ++next) {
            if ((static_cast<unsigned char>(text[index + next]) & 0xC0) != 0x80)
                return false;
        }
        index += length;
    }
    return true;
}

}

// Catches a scratch folder named after the whole target: beside a target whose name takes all
// 255 bytes it cannot be made, and the export fails. The cut must not split a character.
TEST(ScratchFolder, NameFitsBesideATargetWithTheLongestName)
{
    TemporaryFolder folder;
    std::string name;
    while (name.size() + 2 <= 250)
        name += "\xC3\xA9";
    name += ".pdf";
    ASSERT_LE(name.size(), 255u);
    ScratchFolder scratch(folder.file(name));
    ASSERT_TRUE(scratch.create()) << scratch.error();
    std::string made = std::filesystem::path(scratch.path()).filename().string();
    EXPECT_LE(made.size(), 255u);
    EXPECT_EQ(made.rfind(".~pressling-", 0), 0u) << made;
    EXPECT_TRUE(wholeUtf8(ScratchFolder::namePattern(name))) << "the name was cut inside a character";
    EXPECT_EQ(ScratchFolder::namePattern("a.docx.pdf"), ".~pressling-a.docx.pdf-XXXXXX");
}

// Catches a scratch folder that a sweep could take for one whose maker is gone while it is in
// use, or one that stays behind (with links in it followed on the way out).
TEST(ScratchFolder, HeldWhileInUseAndRemovedWithoutFollowingLinks)
{
    TemporaryFolder outside;
    std::string kept = outside.write("kept.txt", "precious");
    TemporaryFolder folder;
    std::string path;
    {
        ScratchFolder scratch(folder.file("report.docx.mht"));
        ASSERT_TRUE(scratch.create()) << scratch.error();
        path = scratch.path();
        EXPECT_FALSE(folderLockIsFree(path)) << "the maker holds no lock on its scratch folder";
        std::ofstream(scratch.file("page.html")) << "<html>";
        std::filesystem::create_directory_symlink(outside.path(), scratch.file("images"));
        std::filesystem::create_symlink(kept, scratch.file("kept-link.txt"));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::exists(kept));
}
