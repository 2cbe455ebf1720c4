#include "ProtectFixture.h"

#include "publishing/PublishFormat.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <regex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

class ProtectTest : public ProtectFixture { };

// Caps the size of every file this process writes while it lives, so that a copy of an endless
// device fails instead of filling the disk.
class FileSizeBound {
public:
    explicit FileSizeBound(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit bound { bytes, m_previous.rlim_max };
        ::setrlimit(RLIMIT_FSIZE, &bound);
    }
    ~FileSizeBound()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous {};
    void (*m_previousHandler)(int) = nullptr;
};

}

// Catches a check that creates a backup (or calls the office) for a file that is not there.
TEST_F(ProtectTest, VanishedDocumentGives102AndTouchesNothing)
{
    EXPECT_EQ(m_session->protect(m_folder.file("gone.docx").c_str(), ID_PUBLISH_AS_PDF), 102);
    expectFolder({});
    EXPECT_EQ(m_script->indexOf("Word.open("), -1);
}

// Catches published files being fed back to the office as documents.
TEST_F(ProtectTest, PublishedFilesGive103)
{
    for (const char* name : { "a.docx.pdf", "a.doc.html", "a.doc.txt" }) {
        std::string path = document(name);
        EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_HTML), 103) << name;
    }
    expectFolder({ "a.doc.html", "a.doc.txt", "a.docx.pdf" });
}

// Catches a wrong output name or format code, or a backup left after success.
TEST_F(ProtectTest, SuccessWritesSuffixedOutputAndRemovesBackup)
{
    std::string path = document("report.docx");
    ASSERT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_UNICODETEXT), 0);
    EXPECT_TRUE(m_script->called("Word.saveAs(" + path + ".unicode.txt,7)"));
    expectFolder({ "report.docx", "report.docx.unicode.txt" });
    EXPECT_EQ(readFile(path), "original bytes");
}

// Catches an upper-case extension sent to the wrong publisher (or refused).
TEST_F(ProtectTest, UpperCaseExtensionsReachTheirPublisher)
{
    std::string word = document("REPORT.DOCX");
    std::string excel = document("BUDGET.XLS");
    std::string slides = document("TALK.PPTX");
    EXPECT_EQ(m_session->protect(word.c_str(), ID_PUBLISH_AS_PDF), 0);
    EXPECT_EQ(m_session->protect(excel.c_str(), ID_PUBLISH_AS_HTML), 0);
    EXPECT_EQ(m_session->protect(slides.c_str(), ID_PUBLISH_AS_XPS), 0);
    EXPECT_TRUE(m_script->called("Word.saveAs(" + word + ".pdf,17)"));
    EXPECT_TRUE(m_script->called("Excel.saveAs(" + excel + ".html,44)"));
    EXPECT_TRUE(m_script->called("PowerPoint.saveAs(" + slides + ".xps,33)"));
}

// Catches a backup name that loses a period, the GUID or the extension.
TEST_F(ProtectTest, BackupNameIsPathGuidAndExtension)
{
    std::string path = document("a.b.doc");
    std::vector<std::string> seen;
    std::string backupBytes;
    m_script->onOpen = [&](const std::string&) {
        seen = folderEntries(m_folder.path());
        if (seen.size() == 2)
            backupBytes = readFile(m_folder.file(seen[1]));
    };
    ASSERT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_TEXT), 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(std::regex_match(
        seen[1], std::regex(R"(a\.b\.doc\.\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}\.doc)")))
        << seen[1];
    EXPECT_EQ(backupBytes, "original bytes");
}

// Catches a failed publication that leaves the backup behind or the document changed.
TEST_F(ProtectTest, FailedSaveRestoresDocumentAndRemovesBackup)
{
    std::string path = document("report.doc");
    m_script->documents[path].saveThrows = true;
    // The office scribbles over the document before it fails; the backup must put it right.
    m_script->onOpen = [&](const std::string& opened) { std::ofstream(opened) << "ruined"; };
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 203);
    EXPECT_EQ(readFile(path), "original bytes");
    expectFolder({ "report.doc" });
}

// Catches a document that asks to be opened read-only being published anyway.
TEST_F(ProtectTest, ReadOnlyRecommendedGives205And407WithoutOutput)
{
    std::string word = document("memo.doc");
    std::string excel = document("sheet.xlsx");
    m_script->documents[word].readOnlyRecommended = true;
    m_script->documents[excel].readOnlyRecommended = true;
    EXPECT_EQ(m_session->protect(word.c_str(), ID_PUBLISH_AS_HTML), 205);
    EXPECT_EQ(m_session->protect(excel.c_str(), ID_PUBLISH_AS_HTML), 407);
    EXPECT_EQ(m_script->count("Word.close"), 1);
    EXPECT_EQ(m_script->count("Excel.close"), 1);
    expectFolder({ "memo.doc", "sheet.xlsx" });
}

// Catches a missing document from the open call reported as success.
TEST_F(ProtectTest, NothingOpenedGives202And402)
{
    std::string word = document("memo.docx");
    std::string excel = document("sheet.xls");
    m_script->documents[word].openReturnsNothing = true;
    m_script->documents[excel].openReturnsNothing = true;
    EXPECT_EQ(m_session->protect(word.c_str(), ID_PUBLISH_AS_HTML), 202);
    EXPECT_EQ(m_session->protect(excel.c_str(), ID_PUBLISH_AS_HTML), 402);
    expectFolder({ "memo.docx", "sheet.xls" });
}

// Catches a success status without an output file counted as published.
TEST_F(ProtectTest, SuccessStatusWithoutOutputIsAFailure)
{
    std::string word = document("memo.docx");
    std::string excel = document("sheet.xlsx");
    m_script->documents[word].saveWritesOutput = false;
    m_script->documents[excel].saveWritesOutput = false;
    EXPECT_EQ(m_session->protect(word.c_str(), ID_PUBLISH_AS_PDF), 203);
    EXPECT_EQ(m_session->protect(excel.c_str(), ID_PUBLISH_AS_PDF), 403);
    expectFolder({ "memo.docx", "sheet.xlsx" });
}

// Catches Excel saved with the wrong code or access mode, and a close failure turning success into
// failure.
TEST_F(ProtectTest, ExcelFormatsAndCloseFailureAfterSave)
{
    std::string path = document("budget.xlsx");
    m_script->documents[path].closeStatus = office::hresult::fail;
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_TEXT), 0);
    EXPECT_TRUE(m_script->called("Excel.saveAs(" + path + ".txt,-4158)"));
    EXPECT_TRUE(m_script->called("Excel.accessMode(3)"));
    EXPECT_TRUE(std::filesystem::exists(path + ".txt"));
}

// Catches a close that throws handled by the wrong profile: Word fails the publication with its
// save code, Excel and PowerPoint end it as any other office failure; each document is restored.
TEST_F(ProtectTest, CloseThatThrowsGives203For1000ForTheOthers)
{
    LogCapture log;
    std::string word = document("memo.doc");
    std::string excel = document("sheet.xlsx");
    std::string slides = document("talk.pptx");
    for (const std::string& path : { word, excel, slides })
        m_script->documents[path].closeThrows = true;
    EXPECT_EQ(m_session->protect(word.c_str(), ID_PUBLISH_AS_HTML), 203);
    EXPECT_EQ(m_session->protect(excel.c_str(), ID_PUBLISH_AS_HTML), 1000);
    EXPECT_EQ(m_session->protect(slides.c_str(), ID_PUBLISH_AS_PDF), 1000);
    EXPECT_TRUE(log.contains("OfficeApplication#protectWord,18,Exception No=80010108"));
    EXPECT_TRUE(log.contains("OfficeApplication#protectExcel,21,Exception No=80010108"));
    EXPECT_TRUE(log.contains("OfficeApplication#protectPowerPoint,10,Exception No=80010108"));
    for (const std::string& path : { word, excel, slides })
        EXPECT_EQ(readFile(path), "original bytes") << path;
}

// Catches a document left writable after publishing, also when it was refused as in use.
TEST_F(ProtectTest, ReadOnlyDocumentIsWritableOnlyForTheDuration)
{
    std::string path = document("locked.docx");
    chmod(path.c_str(), 0444);
    mode_t during = 0;
    m_script->onOpen = [&](const std::string& opened) { during = modeOf(opened); };
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 0);
    EXPECT_EQ(during, 0644u);
    EXPECT_EQ(modeOf(path), 0444u);

    m_folder.write(".~lock.locked.docx#", "someone,host,/home/someone;");
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 601);
    EXPECT_EQ(modeOf(path), 0444u);
    expectFolder({ ".~lock.locked.docx#", "locked.docx", "locked.docx.pdf" });
}

// Catches a document restored by a delete and a move that would lose it on a crash in between:
// the document keeps its name at every step, and a failure to start Word still restores it.
TEST_F(ProtectTest, WordThatCannotStartRestoresTheDocument)
{
    auto script = std::make_shared<OfficeScript>();
    script->createResults["Word.Application"] = office::hresult::serverExecutionFailure;
    OfficeApplication session(std::make_unique<ScriptedAutomation>(script), 0, 0, 0);
    std::string path = document("report.doc");
    EXPECT_EQ(session.protect(path.c_str(), ID_PUBLISH_AS_PDF), 201);
    EXPECT_EQ(readFile(path), "original bytes");
    expectFolder({ "report.doc" });
}

// Catches a delete that reports a file it could not remove as gone.
TEST_F(ProtectTest, DeleteReportsWhetherTheFileIsGone)
{
    EXPECT_EQ(m_session->doDeleteFile(m_folder.file("missing").c_str()), 0);
    std::string path = document("there");
    EXPECT_EQ(m_session->doDeleteFile(path.c_str()), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Catches a document that vanished during a failed publication staying lost although its backup
// is there to bring it back.
TEST_F(ProtectTest, DocumentThatVanishedIsBroughtBackFromItsBackup)
{
    std::string path = document("report.docx");
    m_script->documents[path].saveThrows = true;
    m_script->onOpen = [&](const std::string& opened) { std::filesystem::remove(opened); };
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 203);
    EXPECT_EQ(readFile(path), "original bytes");
    expectFolder({ "report.docx" });
}

// Catches a backup deleted although it could not be put back and may be the one good copy.
TEST_F(ProtectTest, BackupThatCannotBePutBackStaysOnDiskWith605)
{
    std::string path = document("report.docx");
    m_script->documents[path].saveThrows = true;
    // Something puts a folder in the document's place, over which no file can be renamed.
    m_script->onOpen = [&](const std::string& opened) {
        std::filesystem::remove(opened);
        m_folder.write("report.docx/inside", "x");
    };
    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 605);
    std::vector<std::string> names = folderEntries(m_folder.path());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(readFile(m_folder.file(names[1])), "original bytes");
}

// Catches a document that the office never changed coming back from a failed publication as
// another file: it must keep its inode (and with it its hard links, owner and times) and its
// extended attributes, and a symlinked document stays a symlink.
TEST_F(ProtectTest, UnchangedDocumentKeepsItsIdentityAfterAFailure)
{
    std::string path = document("report.docx");
    ASSERT_EQ(::link(path.c_str(), m_folder.file("report.hardlink").c_str()), 0);
    const timespec past[2] = { { 1000000000, 0 }, { 1000000000, 0 } };
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), past, 0), 0);
    bool attributesSupported = ::setxattr(path.c_str(), "user.pressling.test", "kept", 4, 0) == 0;
    if (!attributesSupported) {
        ASSERT_EQ(errno, ENOTSUP) << "the file system refused an extended attribute for another reason";
    }
    const struct stat before = statusOf(path);
    m_script->documents[path].saveThrows = true;

    EXPECT_EQ(m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF), 203);
    const struct stat after = statusOf(path);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(after.st_mtim.tv_sec, 1000000000);
    if (attributesSupported) {
        char value[8] = {};
        EXPECT_EQ(::getxattr(path.c_str(), "user.pressling.test", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
    expectFolder({ "report.docx", "report.hardlink" });

    TemporaryFolder elsewhere;
    std::string target = elsewhere.write("real.docx", "original bytes");
    std::string linked = m_folder.file("linked.docx");
    ASSERT_EQ(::symlink(target.c_str(), linked.c_str()), 0);
    m_script->documents[linked].saveThrows = true;
    EXPECT_EQ(m_session->protect(linked.c_str(), ID_PUBLISH_AS_PDF), 203);
    EXPECT_TRUE(S_ISLNK(statusOf(linked).st_mode));
    EXPECT_EQ(readFile(target), "original bytes");
    expectFolder({ "linked.docx", "report.docx", "report.hardlink" });
}

// Catches a restored document that loses its mode or its owner (a job run by root would hand the
// user a document owned by root), or a symlink replaced by the restored copy.
TEST_F(ProtectTest, ChangedDocumentIsRestoredWithItsModeAndOwner)
{
    const bool asRoot = ::geteuid() == 0;
    TemporaryFolder elsewhere;
    std::string shared = document("shared.docx");
    std::string locked = document("locked.doc");
    std::string target = elsewhere.write("real.xlsx", "original bytes");
    std::string linked = m_folder.file("linked.xlsx");
    ASSERT_EQ(::symlink(target.c_str(), linked.c_str()), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 0640), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    if (asRoot) {
        ASSERT_EQ(::chown(shared.c_str(), 4321, 4322), 0);
    }
    // The office scribbles over each document before it fails.
    m_script->onOpen = [&](const std::string& opened) { std::ofstream(opened) << "ruined"; };

    for (const std::string& path : { shared, locked, linked }) {
        m_script->documents[path].saveThrows = true;
        EXPECT_NE(m_session->protect(path.c_str(), ID_PUBLISH_AS_HTML), 0) << path;
        EXPECT_EQ(readFile(path), "original bytes") << path;
    }
    EXPECT_EQ(modeOf(shared), 0640u);
    EXPECT_EQ(modeOf(locked), 0444u);
    EXPECT_TRUE(S_ISLNK(statusOf(linked).st_mode));
    if (asRoot) {
        EXPECT_EQ(statusOf(shared).st_uid, 4321u);
        EXPECT_EQ(statusOf(shared).st_gid, 4322u);
    }
    expectFolder({ "linked.xlsx", "locked.doc", "shared.docx" });
}

// Catches what is not a regular file hanging the job (a FIFO blocks the open for good) or filling
// the disk (a copy of /dev/zero never ends): each is refused as not found at once, and the FIFO
// is still a FIFO afterwards.
TEST_F(ProtectTest, WhatIsNoRegularFileGives102AtOnce)
{
    std::string fifo = m_folder.file("f.docx");
    std::string zero = m_folder.file("z.docx");
    std::string folder = m_folder.file("d.docx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    FileSizeBound bound(64 * 1024 * 1024);
    for (const std::string& path : { fifo, zero, folder }) {
        auto result = std::async(
            std::launch::async, [&] { return m_session->protect(path.c_str(), ID_PUBLISH_AS_PDF); });
        if (result.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            ADD_FAILURE() << path << " blocked the job";
            // A writer lets the blocked open return, so that the test can end.
            int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        EXPECT_EQ(result.get(), 102) << path;
    }
    EXPECT_TRUE(S_ISFIFO(statusOf(fifo).st_mode));
    EXPECT_TRUE(S_ISLNK(statusOf(zero).st_mode));
    EXPECT_EQ(m_script->indexOf("Word.open("), -1);
    expectFolder({ "d.docx", "f.docx", "z.docx" });
}
