#include "ListFixture.h"

#include "filelist/XListView.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "office/libreoffice/LibreOfficeInstallation.h"
#include "publishing/OfficeVersion.h"
#include "publishing/PublishFormat.h"
#include "publishing/notifier/NotifierWindow.h"
#include "tests/support/AnsweringMessageBox.h"
#include "tests/support/TemporaryRegistry.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

NotifierWindow* notifierWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<NotifierWindow*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

// The LibreOffice office, named to the registry scan as the program names it.
PublishingJobs::Factories libreOffice()
{
    OfficeVersion::setInstalledOffice(std::make_shared<office::LibreOfficeInstallation>());
    PublishingJobs::Factories factories;
    factories.automation = [] { return std::make_unique<office::LibreOfficeAutomation>(); };
    return factories;
}

std::string wordCorpusDocument()
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    return std::string(source ? source : ".") + "/../shared/corpus/documents/word/default.docx";
}

}

// A mixed selection: only the unprotected document reaches the job, whose output shows up in the
// list once the user has closed the notifier.
TEST(PublishCommand, OnlyTheUnprotectedDocumentIsPublishedAndItsOutputAppears)
{
    TemporaryRegistry registry;
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    ListFixture fixture(libreOffice());
    ASSERT_TRUE(fs::exists(wordCorpusDocument())) << wordCorpusDocument();
    fs::copy_file(wordCorpusDocument(), fixture.folder().file("plain.docx"));
    ASSERT_NO_FATAL_FAILURE(fixture.copyPasswordDocument("locked.docx"));
    fixture.show();
    // Every row the list shows while the job runs: the copy the job keeps of the document is not
    // among them.
    QStringList shown;
    QObject::connect(
        &fixture.model(), &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int first, int last) {
            for (int row = first; row <= last; ++row)
                shown << QString::fromUtf8(fixture.model().rowAt(row).name);
        });
    fixture.select({ "locked.docx", "plain.docx" });
    fixture.list().controller().XListView_RunCommand(ID_PUBLISH_AS_PDF);

    NotifierWindow* window = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (window = notifierWindow()) && window->state() == NotifierWindow::State::Finished; },
        120000));
    ASSERT_EQ(window->resultList()->topLevelItemCount(), 1);
    EXPECT_EQ(window->resultList()->topLevelItem(0)->text(2), "OK");
    // The list follows its folder: the output shows while the notifier is still open.
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.rowOf("plain.docx.pdf") >= 0; }, 20000));
    EXPECT_EQ(shown, QStringList { "plain.docx.pdf" });
    window->closeButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.rowOf("plain.docx.pdf") >= 0; }, 20000));
    EXPECT_FALSE(fs::exists(fixture.folder().file("locked.docx.pdf")));
    EXPECT_EQ(box.asked, 0);
}

// Catches a program that ends under a running job (its backup and its office left behind), or
// that waits for it in a way that freezes the windows: the user closes the notifier during the
// wait, and the wait ends only once the job's thread is gone.
TEST(PublishCommand, WaitingForRunningJobsKeepsTheWindowsWorkingUntilTheJobHasEnded)
{
    TemporaryRegistry registry;
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    auto fixture = std::make_unique<ListFixture>(libreOffice());
    fs::copy_file(wordCorpusDocument(), fixture->folder().file("plain.docx"));
    const std::string folder = fixture->folder().path();
    fixture->show();
    fixture->select({ "plain.docx" });
    fixture->list().controller().XListView_RunCommand(ID_PUBLISH_AS_TEXT);
    ASSERT_EQ(fixture->jobs().count(), 1);

    bool closedDuringTheWait = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        NotifierWindow* window = notifierWindow();
        if (window && window->state() == NotifierWindow::State::Finished) {
            closedDuringTheWait = true;
            window->closeButton()->click();
        }
    });
    closer.start(100);
    fixture->jobs().waitUntilAllEnded();
    EXPECT_TRUE(closedDuringTheWait);
    EXPECT_EQ(fixture->jobs().count(), 0);
    EXPECT_TRUE(fs::exists(folder + "/plain.docx.txt"));
    int leftOver = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        leftOver += entry.path().filename() != "plain.docx" && entry.path().filename() != "plain.docx.txt";
    EXPECT_EQ(leftOver, 0);
}

TEST(PublishCommand, SelectionWithoutAnUnprotectedFileIsRefused)
{
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    ListFixture fixture(libreOffice());
    ASSERT_NO_FATAL_FAILURE(fixture.copyPasswordDocument("locked.docx"));
    fixture.show();
    fixture.select({ "locked.docx" });
    fixture.list().controller().XListView_PublishSelectedFiles(ID_PUBLISH_AS_HTML);
    EXPECT_EQ(box.lastText, "Encrypt: Please select unencrypted files by PWD.");
    EXPECT_EQ(box.lastTitle, "Vaultrix");
    EXPECT_EQ(box.lastIcon, MessageBox::Icon::Error);
    QTest::qWait(100);
    EXPECT_EQ(notifierWindow(), nullptr);
}

// The job may end after its list is gone; its notice must then reach nobody, not freed memory.
TEST(PublishCommand, JobOutlivingItsListEndsQuietly)
{
    TemporaryRegistry registry;
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    auto fixture = std::make_unique<ListFixture>(libreOffice());
    fs::copy_file(wordCorpusDocument(), fixture->folder().file("plain.docx"));
    fixture->show();
    fixture->select({ "plain.docx" });
    fixture->list().controller().XListView_PublishSelectedFiles(ID_PUBLISH_AS_TEXT);
    std::string output = fixture->folder().file("plain.docx.txt");
    fixture->list().hide();
    NotifierWindow* window = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (window = notifierWindow()) && window->state() == NotifierWindow::State::Finished; },
        120000));
    EXPECT_TRUE(fs::exists(output));
    // The notifier stays open after its list is gone, until the user closes it; the jobs, as in
    // the program, outlive the list.
    fixture->closeList();
    ASSERT_EQ(notifierWindow(), window);
    window->closeButton()->click();
    EXPECT_TRUE(QTest::qWaitFor([] { return notifierWindow() == nullptr; }, 20000));
    fixture->jobs().waitUntilAllEnded();
    EXPECT_EQ(fixture->jobs().count(), 0);
}
