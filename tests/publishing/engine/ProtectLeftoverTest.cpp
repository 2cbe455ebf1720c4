// What a job that was killed mid-document leaves beside it (its backup, a scratch folder, a
// document made writable), and how the next job that meets it puts it in order.
#include "ProtectFixture.h"

#include "platform/AbortCleanup.h"
#include "publishing/PublishFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ProtectLeftoverTest : public ProtectFixture { };

constexpr const char* guid = "{0F8E5A1C-3B2D-4C6E-9A7F-1E2D3C4B5A69}";

// The names in folder other than the ones given.
std::vector<std::string> othersThan(const std::string& folder, const std::vector<std::string>& known)
{
    std::vector<std::string> others;
    for (const std::string& name : folderEntries(folder)) {
        if (std::find(known.begin(), known.end(), name) == known.end())
            others.push_back(name);
    }
    return others;
}

bool lockedByAnother(const std::string& path)
{
    int descriptor = ::open(path.c_str(), O_RDONLY);
    bool locked = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return locked;
}

}

// Catches a backup that forgets the document's mode (it was copied after the document had been
// made writable, so a killed job left the document writable for good) and a backup that does not
// tell the next job that its maker is still at work.
TEST_F(ProtectLeftoverTest, BackupRecordsTheOriginalModeAndIsLockedWhileItExists)
{
    std::string path = document("plan.docx");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    std::vector<std::string> backups;
    mode_t backupMode = 0;
    bool locked = false;
    m_script->onOpen = [&](const std::string&) {
        backups = othersThan(m_folder.path(), { "plan.docx" });
        if (backups.size() != 1)
            return;
        backupMode = modeOf(m_folder.file(backups[0]));
        locked = lockedByAnother(m_folder.file(backups[0]));
    };
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 0);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backupMode, 0444u);
    EXPECT_TRUE(locked);
    EXPECT_EQ(modeOf(path), 0444u);
}

// Catches a leftover backup that stays for good, and a document that stays writable although its
// backup recorded it read-only.
TEST_F(ProtectLeftoverTest, IdenticalLeftoverBackupIsRemovedAndTheModeComesBack)
{
    std::string path = document("same.docx");
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    std::string backup = m_folder.file(std::string("same.docx.") + guid + ".docx");
    plantAbandonedFile(backup, "original bytes", 0444);
    LogCapture log;
    mode_t modeMet = 0;
    m_script->onOpen = [&](const std::string& opened) { modeMet = modeOf(opened); };
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 0);
    EXPECT_TRUE(log.contains("OfficeApplication#protect,20,Deleted a left backup file " + backup));
    EXPECT_EQ(modeOf(path), 0444u);
    EXPECT_EQ(modeMet, 0644u);
    EXPECT_EQ(readFile(path), "original bytes");
    expectFolder({ "same.docx", "same.docx.pdf" });
}

// Catches a document that a killed job lost staying lost although its backup is beside it, and
// a backup that is put back over something that is there.
TEST_F(ProtectLeftoverTest, LeftoverBackupOfAMissingDocumentIsRenamedBack)
{
    std::string path = m_folder.file("gone.docx");
    std::string backup = m_folder.file(std::string("gone.docx.") + guid + ".docx");
    plantAbandonedFile(backup, "original bytes", 0640);
    LogCapture log;
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 0);
    EXPECT_TRUE(
        log.contains("OfficeApplication#protect,21,Moved a left backup file " + backup + " to " + path));
    EXPECT_EQ(readFile(path), "original bytes");
    EXPECT_EQ(modeOf(path), 0640u);
    expectFolder({ "gone.docx", "gone.docx.pdf" });
}

// Catches a guess at which of two different copies is right: the document is refused, and both
// stay as they are, with a line that names the backup.
TEST_F(ProtectLeftoverTest, DifferingLeftoverBackupKeepsBothAndGives607)
{
    std::string path = document("differs.docx", "edited since");
    std::string backup = m_folder.file(std::string("differs.docx.") + guid + ".docx");
    plantAbandonedFile(backup, "original bytes", 0644);
    LogCapture log;
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 607);
    EXPECT_TRUE(log.contains("Error: OfficeApplication#protect,23,Found a left backup file " + backup
        + " that differs from " + path));
    EXPECT_EQ(readFile(path), "edited since");
    EXPECT_EQ(readFile(backup), "original bytes");
    EXPECT_EQ(m_script->indexOf("Word.open("), -1);
}

// Catches the sweep taking the backup of a job that is still at work on the document.
TEST_F(ProtectLeftoverTest, BackupOfALiveJobIsLeftAlone)
{
    std::string path = document("busy.docx");
    std::string backup = m_folder.file(std::string("busy.docx.") + guid + ".docx");
    plantAbandonedFile(backup, "original bytes", 0644);
    LiveLockHolder liveJob(backup);
    ASSERT_TRUE(liveJob.holds());
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 0);
    EXPECT_EQ(readFile(backup), "original bytes");
    expectFolder({ "busy.docx", "busy.docx.pdf", std::string("busy.docx.") + guid + ".docx" });
}

// Catches scratch folders of gone jobs that stay for good, a sweep that follows a symlink out of
// one (and removes what it points at), and a sweep that takes a live job's folder, a symlink or
// another user's folder.
TEST_F(ProtectLeftoverTest, ScratchFoldersOfGoneJobsAreRemovedWithoutFollowingLinks)
{
    TemporaryFolder outside;
    std::string outsideFile = outside.write("keep.txt", "keep");
    std::string gone = m_folder.file(".~pressling-a.docx.mhtml-Q1w2E3");
    m_folder.write(".~pressling-a.docx.mhtml-Q1w2E3/page.html", "<html/>");
    m_folder.write(".~pressling-a.docx.mhtml-Q1w2E3/images/1.png", "png");
    ASSERT_EQ(::symlink(outsideFile.c_str(), (gone + "/file link").c_str()), 0);
    ASSERT_EQ(::symlink(outside.path().c_str(), (gone + "/folder link").c_str()), 0);
    ASSERT_EQ(::chmod((gone + "/images").c_str(), 0555), 0);
    std::string live = m_folder.file(".~pressling-b.docx.xps-Z9y8X7");
    m_folder.write(".~pressling-b.docx.xps-Z9y8X7/document.pdf", "%PDF");
    ASSERT_EQ(::symlink(outside.path().c_str(), m_folder.file(".~pressling-link-AAAAAA").c_str()), 0);
    std::vector<std::string> kept
        = { ".~pressling-b.docx.xps-Z9y8X7", ".~pressling-link-AAAAAA", "a.docx", "a.docx.pdf" };
    if (::geteuid() == 0) {
        m_folder.write(".~pressling-other-BBBBBB/x", "x");
        ASSERT_EQ(::chown(m_folder.file(".~pressling-other-BBBBBB").c_str(), 4321, 4321), 0);
        kept.insert(kept.begin() + 2, ".~pressling-other-BBBBBB");
    }
    std::string path = document("a.docx");
    LiveLockHolder liveJob(live);
    ASSERT_TRUE(liveJob.holds());
    LogCapture log;

    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 0);
    EXPECT_TRUE(log.contains("OfficeApplication#protect,24,Deleted a left work folder " + gone));
    expectFolder(kept);
    EXPECT_EQ(readFile(outsideFile), "keep");
    EXPECT_EQ(readFile(live + "/document.pdf"), "%PDF");
}

// Catches a backup fed to the office as a document (a second "publish *.docx" published the
// backup of a killed job as NAME.{GUID}.docx.pdf): it is refused before anything is done.
TEST_F(ProtectLeftoverTest, ABackupIsNeverPublished)
{
    std::string path = document("notes.docx");
    std::string backup = m_folder.file(std::string("notes.docx.") + guid + ".docx");
    plantAbandonedFile(backup, "original bytes", 0644);
    LogCapture log;
    EXPECT_EQ(m_session->protect(backup.c_str(), ID_PUBLISH_AS_PDF), 104);
    EXPECT_TRUE(
        log.contains("Error: OfficeApplication#protect,25,Not a document but a backup file " + backup));
    EXPECT_EQ(m_script->indexOf("Word.open("), -1);
    EXPECT_EQ(readFile(backup), "original bytes");
    expectFolder({ "notes.docx", std::string("notes.docx.") + guid + ".docx" });

    // Only a GUID in registry form makes a backup's name.
    std::string draft = document("minutes.{draft}.docx");
    EXPECT_EQ(m_session->protect(draft.c_str(), ID_PUBLISH_AS_PDF), 0);
    std::string shortGuid = document("minutes.{0F8E5A1C-3B2D-4C6E-9A7F-1E2D3C4B5A6}.docx");
    EXPECT_EQ(m_session->protect(shortGuid.c_str(), ID_PUBLISH_AS_PDF), 0);
}

// Catches a program that is made to end at once (a second Ctrl-C) leaving the backup and the
// writable document behind: what is unchanged is put back, a lost document comes back, and a
// changed one keeps its backup for the next job to report.
TEST_F(ProtectLeftoverTest, AnAbortPutsTheBackupInOrder)
{
    std::string unchanged = document("unchanged.docx");
    std::string lost = document("lost.docx");
    std::string changed = document("changed.docx");
    ASSERT_EQ(::chmod(unchanged.c_str(), 0444), 0);
    std::map<std::string, std::vector<std::string>> afterAbort;
    mode_t unchangedMode = 0;
    m_script->onOpen = [&](const std::string& opened) {
        if (opened == lost)
            std::filesystem::remove(opened);
        if (opened == changed)
            std::ofstream(opened) << "ruined";
        platform::AbortCleanup::runAll();
        afterAbort[opened] = folderEntries(m_folder.path());
        unchangedMode = opened == unchanged ? modeOf(opened) : unchangedMode;
    };
    m_session->protect(unchanged.c_str(), ID_PUBLISH_AS_PDF);
    m_session->protect(lost.c_str(), ID_PUBLISH_AS_PDF);
    m_session->protect(changed.c_str(), ID_PUBLISH_AS_PDF);

    EXPECT_EQ(
        afterAbort[unchanged], (std::vector<std::string> { "changed.docx", "lost.docx", "unchanged.docx" }));
    EXPECT_EQ(unchangedMode, 0444u);
    EXPECT_EQ(afterAbort[lost],
        (std::vector<std::string> { "changed.docx", "lost.docx", "unchanged.docx", "unchanged.docx.pdf" }));
    EXPECT_EQ(readFile(lost), "original bytes");
    EXPECT_EQ(afterAbort[changed].size(), 6u) << "the changed document keeps its backup";
}
