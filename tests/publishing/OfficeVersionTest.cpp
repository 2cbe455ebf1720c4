#include "publishing/OfficeVersion.h"
#include "office/libreoffice/LibreOfficeInstallation.h"

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

std::string installRoot(
    int version, const char* path = "C:\\\\Program Files\\\\Microsoft Office\\\\Office12\\\\")
{
    return "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\" + std::to_string(version)
        + ".0\\Word\\InstallRoot]\n\"Path\"=\"" + path + "\"\n\n";
}

std::string userWord(int version)
{
    return "[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" + std::to_string(version)
        + ".0\\Word]\n\"WordName\"=\"WINWORD.EXE\"\n\n";
}

std::string converter(const char* direction, const char* path)
{
    return std::string("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Shared Tools\\Text Converters\\")
        + direction + "\\Word12]\n\"Path\"=\"" + path + "\"\n\n";
}

const char* const office12Converter = "C:\\\\Program Files\\\\Microsoft Office\\\\Office12\\\\wordcnvpxy.cnv";

// Each case gets its own registry files and, as the program does, LibreOffice named as the suite
// to fall back on, but without an installation to find unless it asks for the installed one, so
// that the registry alone decides.
class OfficeVersionTest : public ::testing::Test {
protected:
    OfficeVersionTest()
        : m_noOffice("PRESSLING_LIBREOFFICE_PROGRAM", m_emptyFolder.path())
    {
        OfficeVersion::resetCache();
        OfficeVersion::setInstalledOffice(std::make_shared<office::LibreOfficeInstallation>());
    }
    ~OfficeVersionTest() override
    {
        OfficeVersion::resetCache();
        OfficeVersion::setInstalledOffice(nullptr);
    }

    void writeRegistry(const std::string& machine, const std::string& user)
    {
        std::ofstream(m_registry.machineFile()) << "REGEDIT4\n\n" << machine;
        std::ofstream(m_registry.userFile()) << "REGEDIT4\n\n" << user;
    }

    TemporaryRegistry m_registry;
    TemporaryFolder m_emptyFolder;
    ScopedEnvironment m_noOffice;
};

}

// Catches a scan that stops at the first version it sees instead of the highest.
TEST_F(OfficeVersionTest, HighestCompleteVersionWins)
{
    writeRegistry(installRoot(11) + installRoot(12), userWord(11) + userWord(12));
    EXPECT_EQ(OfficeVersion().getWordVersion(), 12);
}

// Catches taking the install root alone as an installation.
TEST_F(OfficeVersionTest, VersionWithoutUserKeyIsPassedOver)
{
    writeRegistry(installRoot(12) + installRoot(11), userWord(11));
    EXPECT_EQ(OfficeVersion().getWordVersion(), 11);
    writeRegistry(installRoot(12), "");
    EXPECT_EQ(OfficeVersion().getWordVersion(), -1);
}

// Catches an off-by-one at either end of the scanned range (30 down to 8).
TEST_F(OfficeVersionTest, ScanCoversVersionsEightToThirty)
{
    writeRegistry(installRoot(30), userWord(30));
    EXPECT_EQ(OfficeVersion().getWordVersion(), 30);
    writeRegistry(installRoot(8), userWord(8));
    EXPECT_EQ(OfficeVersion().getWordVersion(), 8);
    writeRegistry(installRoot(31) + installRoot(7), userWord(31) + userWord(7));
    EXPECT_EQ(OfficeVersion().getWordVersion(), -1);
}

// Catches a converter check that accepts one converter, another folder, or another case.
TEST_F(OfficeVersionTest, ConvertersMustBothLieInTheOffice12Folder)
{
    writeRegistry(converter("Export", office12Converter) + converter("Import", office12Converter), "");
    EXPECT_TRUE(OfficeVersion().isOfficeWord12ConverterInstalled());
    writeRegistry(converter("Export", office12Converter), "");
    EXPECT_FALSE(OfficeVersion().isOfficeWord12ConverterInstalled());
    writeRegistry(
        converter("Export", office12Converter) + converter("Import", "C:\\\\Office11\\\\cnv.cnv"), "");
    EXPECT_FALSE(OfficeVersion().isOfficeWord12ConverterInstalled());
    const char* lowerCase = "C:\\\\program files\\\\microsoft office\\\\office12\\\\cnv.cnv";
    writeRegistry(converter("Export", lowerCase) + converter("Import", lowerCase), "");
    EXPECT_FALSE(OfficeVersion().isOfficeWord12ConverterInstalled());
}

// Catches Word 2003 with converters counted as unable, or without them counted as able.
TEST_F(OfficeVersionTest, Word11IsConvertibleOnlyWithBothConverters)
{
    writeRegistry(
        installRoot(11) + converter("Export", office12Converter) + converter("Import", office12Converter),
        userWord(11));
    EXPECT_TRUE(OfficeVersion().isOfficeWord12Convertible());
    OfficeVersion::resetCache();
    writeRegistry(installRoot(11) + converter("Export", office12Converter), userWord(11));
    EXPECT_FALSE(OfficeVersion().isOfficeWord12Convertible());
}

// Catches a cache that scans again: the registry changes after the first answer, the answer
// does not.
TEST_F(OfficeVersionTest, ConvertibilityIsRememberedOnceKnown)
{
    writeRegistry(installRoot(12), userWord(12));
    EXPECT_TRUE(OfficeVersion().isOfficeWord12Convertible());
    writeRegistry("", "");
    EXPECT_TRUE(OfficeVersion().isOfficeWord12Convertible());
    EXPECT_EQ(OfficeVersion().getWordVersion(), -1);
}

// Catches caching "no Word" for good: without an installation the next call scans again.
TEST_F(OfficeVersionTest, NoWordFoundIsAskedAgain)
{
    writeRegistry("", "");
    EXPECT_FALSE(OfficeVersion().isOfficeWord12Convertible());
    writeRegistry(installRoot(14), userWord(14));
    EXPECT_TRUE(OfficeVersion().isOfficeWord12Convertible());
}

// Catches the stand-in missing, or winning over a registered Word.
TEST_F(OfficeVersionTest, InstalledLibreOfficeCountsAsVersion16WhenNoWordIsRegistered)
{
    ScopedEnvironment installed("PRESSLING_LIBREOFFICE_PROGRAM", "/usr/lib/libreoffice/program");
    writeRegistry("", "");
    EXPECT_EQ(OfficeVersion().getWordVersion(), 16);
    EXPECT_TRUE(OfficeVersion().isOfficeWord12Convertible());
    writeRegistry(installRoot(11), userWord(11));
    EXPECT_EQ(OfficeVersion().getWordVersion(), 11);
}
