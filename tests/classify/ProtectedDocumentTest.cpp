#include "classify/ProtectedDocument.h"
#include "classify/ClientLicensorCertificate.h"
#include "classify/CompoundFile.h"
#include "classify/IssuanceLicense.h"
#include "foundation/String.h"
#include "tests/classify/ClassifyTestSupport.h"
#include "tests/support/CompoundFileWriter.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using classifytest::primaryStream;
using classifytest::writeRightsProtected;
using classifytest::xrmlLicence;

namespace {

const std::string DrmTransform = std::string("\x09") + "DRMTransform";
const std::string DrmEncryptedTransform = "DRMEncryptedTransform";

std::string ownerOf(const std::string& path, bool* hasLicence = nullptr)
{
    ProtectedDocument document(path.c_str());
    if (hasLicence)
        *hasLicence = document.hasIssuanceLicense();
    String owner;
    if (!document.getOwner(owner))
        return "<none:" + std::string(owner.getText() ? owner.getText() : "null") + ">";
    return owner.getText();
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}

// Catches the owner read from the wrong element, or the licence taken from the wrong transform.
TEST(ProtectedDocument, OwnerOfRightsProtectedDocuments)
{
    TemporaryFolder folder;
    std::string legacy = folder.file("report.doc");
    writeRightsProtected(legacy, DrmTransform, primaryStream(xrmlLicence("team-lead@example.com")));
    std::string package = folder.file("report.docx");
    writeRightsProtected(package, DrmEncryptedTransform, primaryStream(xrmlLicence("Ösel Åberg")));
    EXPECT_EQ(ownerOf(legacy), "team-lead@example.com");
    EXPECT_EQ(ownerOf(package), "Ösel Åberg");
}

// Catches a licence read from the header bytes, or a header-only stream taken for a licence.
TEST(ProtectedDocument, HeaderOfExactly176BytesHoldsNoLicence)
{
    TemporaryFolder folder;
    std::string path = folder.file("header.doc");
    writeRightsProtected(path, DrmTransform, std::string(176, '<'));
    bool hasLicence = true;
    EXPECT_EQ(ownerOf(path, &hasLicence), "<none:>");
    EXPECT_FALSE(hasLicence);
    std::string oneMore = folder.file("onemore.doc");
    writeRightsProtected(oneMore, DrmTransform, std::string(176, '<') + "x");
    ownerOf(oneMore, &hasLicence);
    EXPECT_TRUE(hasLicence);
}

// Catches text after the closing tag spoiling the parse, or a licence without it being cut.
TEST(ProtectedDocument, LicenceEndsAtTheClosingTag)
{
    TemporaryFolder folder;
    std::string trailing = folder.file("trailing.doc");
    writeRightsProtected(trailing, DrmTransform,
        primaryStream(xrmlLicence("owner@example.com") + "\x01\x02 trailing <garbage & more"));
    EXPECT_EQ(ownerOf(trailing), "owner@example.com");

    std::string unclosed = folder.file("unclosed.doc");
    std::string licence = "<XrML><BODY><ISSUER><OBJECT><NAME>whole</NAME></OBJECT></ISSUER></BODY></XrML >";
    writeRightsProtected(unclosed, DrmTransform, primaryStream(licence));
    EXPECT_EQ(ownerOf(unclosed), "whole");

    // The licence text ends at its first zero byte, as a text does.
    std::string zero = folder.file("zero.doc");
    writeRightsProtected(zero, DrmTransform,
        primaryStream(xrmlLicence("first") + std::string(1, '\0') + xrmlLicence("second")));
    EXPECT_EQ(ownerOf(zero), "first");
}

// Catches a parse failure read as "no licence": the licence was found, it only names no one.
TEST(ProtectedDocument, LicenceThatIsNotXmlHasNoOwner)
{
    TemporaryFolder folder;
    std::string path = folder.file("broken.doc");
    writeRightsProtected(path, DrmTransform, primaryStream("this < is not & XML"));
    bool hasLicence = false;
    EXPECT_EQ(ownerOf(path, &hasLicence), "<none:>");
    EXPECT_TRUE(hasLicence);
    // Bytes that are no UTF-8 cannot be converted: no licence at all.
    std::string invalid = folder.file("invalid.doc");
    writeRightsProtected(invalid, DrmTransform, primaryStream("<XrML>\xFF\xFE</XrML>"));
    ownerOf(invalid, &hasLicence);
    EXPECT_FALSE(hasLicence);
}

// Catches a package or a document without the chain being given an owner, or a crash on it.
TEST(ProtectedDocument, DocumentsWithoutLicence)
{
    TemporaryFolder folder;
    std::string package
        = folder.write("plain.docx", ZipBuilder().add("word/document.xml", "<w/>", 6, 8).bytes());
    bool hasLicence = true;
    EXPECT_EQ(ownerOf(package, &hasLicence), "<none:>");
    EXPECT_FALSE(hasLicence);
    // Nothing is left behind by the attempt.
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string> { "plain.docx" });

    std::string plain = folder.file("plain.doc");
    CompoundFileWriter().stream("WordDocument", classifytest::wordFib(0xA5EC, 0)).write(plain);
    EXPECT_EQ(ownerOf(plain, &hasLicence), "<none:>");
    EXPECT_FALSE(hasLicence);
    EXPECT_EQ(ownerOf(folder.file("missing.doc"), &hasLicence), "<none:>");
    EXPECT_FALSE(hasLicence);
}

// Catches the failure lines of the licence reader missing or worded differently.
TEST(CompoundFile, LogLinesOfTheFailures)
{
    TemporaryFolder folder;
    std::string noTransform = folder.file("notransform.doc");
    CompoundFileWriter().storage(std::string("\x06") + "DataSpaces/TransformInfo/other").write(noTransform);
    std::string noPrimary = folder.file("noprimary.doc");
    writeRightsProtected(noPrimary, DrmTransform, "", false);
    std::string text = folder.write("text.doc", "no compound file");

    LogCapture log;
    IssuanceLicense licence;
    CompoundFile file;
    EXPECT_FALSE(file.getIssuanceLicense(licence));
    EXPECT_TRUE(log.contains("Error: CompoundFile#getIssuanceLicense,2,storageRoot is NULL\n"));

    ASSERT_TRUE(file.open(noTransform.c_str()));
    EXPECT_FALSE(file.getIssuanceLicense(licence));
    EXPECT_TRUE(log.contains(
        "Error: CompoundFile#getIssuanceLicense,8,Failed to open a storage " + DrmTransform + "\n"));
    ASSERT_TRUE(file.open(noPrimary.c_str()));
    EXPECT_FALSE(file.getIssuanceLicense(licence));
    EXPECT_TRUE(
        log.contains("Error: CompoundFile#getIssuanceLicense,7,Failed to open a stream \x06Primary\n"));

    EXPECT_FALSE(file.open(folder.file("missing.doc").c_str()));
    EXPECT_TRUE(log.contains(
        "Error: CompoundFile#open,2,This is not a storage file " + folder.file("missing.doc") + "\n"));
    EXPECT_FALSE(file.open(text.c_str()));
    EXPECT_TRUE(log.contains("Error: CompoundFile#open,3,Failed to open a storage " + text + "\n"));
}

// Catches a held document read in place, the copy misnamed, or the copy left behind.
TEST(CompoundFile, DocumentInUseIsReadThroughATemporaryCopy)
{
    TemporaryFolder folder;
    std::string path = folder.file("held.doc");
    writeRightsProtected(path, DrmTransform, primaryStream(xrmlLicence("holder")));
    // LibreOffice's lock file beside the document says another program has it open.
    folder.write(".~lock.held.doc#", "user,host,0;");

    CompoundFile file;
    ASSERT_TRUE(file.open(path.c_str()));
    std::string copy = file.getTemporaryPath().getText();
    ASSERT_EQ(copy.size(), path.size() + 1 + 38 + 4 + 9);
    EXPECT_EQ(copy.substr(0, path.size() + 2), path + ".{");
    EXPECT_EQ(copy.substr(path.size() + 38), "}.doc.~nimbrel");
    EXPECT_TRUE(std::filesystem::exists(copy));
    IssuanceLicense licence;
    EXPECT_TRUE(file.getIssuanceLicense(licence));
    String owner;
    EXPECT_TRUE(licence.getTextByPath("//ISSUER/OBJECT/NAME", owner));
    EXPECT_STREQ(owner.getText(), "holder");
    file.close();
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(filesIn(folder.path()), (std::vector<std::string> { ".~lock.held.doc#", "held.doc" }));
}

// Catches a document locked with flock by another program being opened in place.
TEST(CompoundFile, LockedDocumentIsCopiedAndTheCopyDeleted)
{
    TemporaryFolder folder;
    std::string path = folder.file("locked.docx");
    writeRightsProtected(path, DrmEncryptedTransform, primaryStream(xrmlLicence("locker")));
    int descriptor = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(::flock(descriptor, LOCK_EX), 0);
    {
        LogCapture log;
        EXPECT_EQ(ownerOf(path), "locker");
        EXPECT_TRUE(log.contains("Error: CompoundFile#open,3,Failed to open a storage " + path + "\n"));
    }
    ::close(descriptor);
    EXPECT_EQ(filesIn(folder.path()), std::vector<std::string> { "locked.docx" });
}

// Catches the fallback to the home folder missing when the document's folder is not writable.
TEST(CompoundFile, CopyGoesToTheHomeFolderWhenTheDocumentsFolderIsReadOnly)
{
    TemporaryFolder folder;
    std::string documents = folder.file("documents");
    std::string home = folder.file("home");
    std::filesystem::create_directories(documents);
    std::filesystem::create_directories(home);
    std::string path = documents + "/held.doc";
    writeRightsProtected(path, DrmTransform, primaryStream(xrmlLicence("far away")));
    std::filesystem::permissions(folder.path(), std::filesystem::perms::all);
    std::filesystem::permissions(home, std::filesystem::perms::all);
    std::filesystem::permissions(path, std::filesystem::perms::all);

    std::filesystem::permissions(documents,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec
            | std::filesystem::perms::group_read | std::filesystem::perms::group_exec
            | std::filesystem::perms::others_read | std::filesystem::perms::others_exec);

    // The child gives up root, for which no folder is read-only, and reports what it saw.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        ::setenv("HOME", home.c_str(), 1);
        std::string report;
        int lock = ::open(path.c_str(), O_RDONLY);
        if (lock < 0 || ::flock(lock, LOCK_SH) != 0)
            ::_exit(4);
        {
            CompoundFile file;
            bool opened = file.open(path.c_str());
            report = std::string(opened ? "opened " : "failed ") + file.getTemporaryPath().getText();
            IssuanceLicense licence;
            String owner;
            if (opened && file.getIssuanceLicense(licence) && licence.getTextByPath("//NAME", owner))
                report += std::string(" owner=") + owner.getText();
        }
        report += std::filesystem::is_empty(home) ? " home-empty" : " home-not-empty";
        ssize_t ignored = ::write(pipeEnds[1], report.data(), report.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    char buffer[2048];
    ssize_t length = ::read(pipeEnds[0], buffer, sizeof(buffer));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    std::string report(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    EXPECT_EQ(report.substr(0, 7 + home.size() + 11), "opened " + home + "/held.doc.{");
    EXPECT_NE(report.find("}.doc.~nimbrel owner=far away home-empty"), std::string::npos) << report;
}

// Catches the owner escaped wrongly, the pattern anchored wrongly or folders taken for CLCs.
TEST(ClientLicensorCertificate, SearchByEscapedOwner)
{
    TemporaryFolder folder;
    ScopedEnvironment dataHome("XDG_DATA_HOME", folder.path());
    std::string drm = folder.file("Microsoft/DRM");
    std::filesystem::create_directories(drm);
    folder.write("Microsoft/DRM/CLC-team;klead-{1234}.drm", "clc");
    folder.write("Microsoft/DRM/CLC-plain-.drm", "clc");
    folder.write("Microsoft/DRM/CLC-other-x.drm.bak", "clc");
    std::filesystem::create_directories(drm + "/CLC-folder-1.drm");

    EXPECT_TRUE(findCLC("team-lead"));
    EXPECT_FALSE(findCLC("team;klead-x"));
    EXPECT_FALSE(findCLC("team"));
    EXPECT_TRUE(findCLC("plain"));
    EXPECT_FALSE(findCLC("other"));
    EXPECT_FALSE(findCLC("folder"));
    EXPECT_FALSE(findCLC(nullptr));
}

// Catches the search looking anywhere but the local application data of this platform.
TEST(ClientLicensorCertificate, FolderComesFromXdgDataHomeOrHome)
{
    TemporaryFolder folder;
    folder.write("home/.local/share/Microsoft/DRM/CLC-me-1.drm", "clc");
    {
        ScopedEnvironment home("HOME", folder.file("home"));
        ScopedEnvironment dataHome("XDG_DATA_HOME", "");
        EXPECT_EQ(localApplicationDataFolder(), folder.file("home") + "/.local/share");
        EXPECT_TRUE(findCLC("me"));
    }
    {
        ScopedEnvironment home("HOME", folder.file("home"));
        ScopedEnvironment dataHome("XDG_DATA_HOME", folder.file("elsewhere"));
        EXPECT_FALSE(findCLC("me"));
    }
}

// Catches a wildcard matcher that misses a match after a false start.
TEST(ClientLicensorCertificate, WildcardsMatchLikeAFolderSearch)
{
    EXPECT_TRUE(matchesWildcard("CLC-a-*.drm", "CLC-a-x.drm.drm"));
    EXPECT_TRUE(matchesWildcard("CLC-a-*.drm", "CLC-a-.drm"));
    EXPECT_FALSE(matchesWildcard("CLC-a-*.drm", "CLC-a.drm"));
    EXPECT_TRUE(matchesWildcard("a?c", "abc"));
    EXPECT_FALSE(matchesWildcard("a?c", "ac"));
}
