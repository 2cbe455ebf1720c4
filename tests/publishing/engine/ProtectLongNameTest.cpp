// Documents whose names are valid but long: the backup's name and the output's name must fit in
// the file system's 255 bytes.
#include "ProtectFixture.h"

#include "publishing/PublishFormat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace {

class ProtectLongNameTest : public ProtectFixture {
protected:
    // Publishes name as PDF and gives the backup's name as the office met it.
    std::string backupNameOf(const std::string& name)
    {
        std::string path = document(name);
        std::string backup;
        m_script->onOpen = [&](const std::string&) {
            for (const std::string& entry : folderEntries(m_folder.path())) {
                if (entry != name)
                    backup = entry;
            }
        };
        EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 0) << name.size();
        expectFolder({ name, name + ".pdf" });
        std::filesystem::remove(path + ".pdf");
        std::filesystem::remove(path);
        return backup;
    }
};

const std::regex guidAndExtension(R"(\.\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}\.docx)");

// The part of a backup's name before its GUID.
std::string stemOf(const std::string& backup)
{
    return backup.size() > 44 ? backup.substr(0, backup.size() - 44) : std::string();
}

}

// Catches a valid long name refused for its backup's name (name plus 44 bytes passed 255), and a
// shortened name cut inside a character or losing the GUID or the extension.
TEST_F(ProtectLongNameTest, LongNamesGetABackupNameThatFits)
{
    std::string ascii = std::string(246, 'a') + ".docx";
    std::string backup = backupNameOf(ascii);
    EXPECT_EQ(backup.size(), 255u);
    EXPECT_TRUE(std::regex_match(backup.substr(211), guidAndExtension)) << backup;
    EXPECT_EQ(stemOf(backup), ascii.substr(0, 211));

    // Two-byte characters from the third byte on: byte 211 would cut one in half.
    std::string accented = "aa";
    while (accented.size() < 246)
        accented += "\xc3\xa9";
    accented += ".docx";
    backup = backupNameOf(accented);
    EXPECT_EQ(stemOf(backup), accented.substr(0, 210));
    EXPECT_EQ(backup.size(), 254u);

    // A name that is no UTF-8 at all is cut at a byte.
    std::string bytes = std::string(246, '\xff') + ".docx";
    backup = backupNameOf(bytes);
    EXPECT_EQ(stemOf(backup), bytes.substr(0, 211));

    // A name that fits is not cut.
    std::string fits = std::string(206, 'b') + ".docx";
    EXPECT_EQ(stemOf(backupNameOf(fits)), fits);
}

// Catches the leftover backup of a long-named document missed because its name was cut.
TEST_F(ProtectLongNameTest, ShortenedLeftoverBackupIsFound)
{
    std::string name = std::string(240, 'c') + ".xlsx";
    std::string path = document(name);
    std::string backup = m_folder.file(name.substr(0, 211) + ".{0F8E5A1C-3B2D-4C6E-9A7F-1E2D3C4B5A69}.xlsx");
    plantAbandonedFile(backup, "original bytes", 0644);
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_HTML), 0);
    expectFolder({ name, name + ".html" });
}

// Catches an output name that cannot exist reported as a failure of the office (after a backup
// and a round trip through it) instead of for what it is, before anything is changed.
TEST_F(ProtectLongNameTest, OutputNameThatCannotFitIsRefusedFirst)
{
    std::string tooLong = std::string(245, 'u') + ".docx";
    std::string path = document(tooLong);
    LogCapture log;
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_UNICODETEXT), 105);
    EXPECT_TRUE(log.contains(
        "Error: OfficeApplication#protect,26,Too long a name for an output file " + path + ".unicode.txt"));
    EXPECT_EQ(m_script->indexOf("Word.open("), -1);
    expectFolder({ tooLong });

    // 243 bytes and ".unicode.txt" make exactly 255.
    std::string longest = std::string(238, 'v') + ".docx";
    path = document(longest);
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_UNICODETEXT), 0);
    EXPECT_TRUE(std::filesystem::exists(path + ".unicode.txt"));
}
