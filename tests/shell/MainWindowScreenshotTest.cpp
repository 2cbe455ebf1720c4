#include "ShellFixture.h"

#include "filelist/FileListModel.h"
#include "filelist/XListView.h"
#include "shell/AboutBox.h"
#include "tests/filelist/Screenshot.h"
#include "tests/support/CompoundFileWriter.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Names a screenshot after the scale it was taken at, so that a run at QT_SCALE_FACTOR=2 keeps
// the one at the default scale.
QString scaledName(const char* name)
{
    QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1");
    return screenshotPath(QStringLiteral("%1-x%2.png").arg(name, scale));
}

void copyPasswordDocument(const std::string& target)
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    std::string document
        = std::string(source ? source : ".") + "/../shared/corpus/office-crypto/ecma376standard_password.docx";
    ASSERT_TRUE(std::filesystem::exists(document)) << "no corpus beside the checkout: " << document;
    std::filesystem::copy_file(document, target);
}

}

// The window as a user sees it: a folder with a plain, a password and a rights-protected
// document, the list's menu open over it; saved for a person to look at and checked for drawn
// rows, tree and menu.
TEST(MainWindowScreenshot, FolderWithProtectedDocumentsAndTheMenuOpen)
{
    ShellFixture shell;
    shell.home().write("Documents/Annual report.docx.pdf", std::string(3000, 'x'));
    ASSERT_NO_FATAL_FAILURE(copyPasswordDocument(shell.home().file("Documents/salaries.docx")));
    CompoundFileWriter()
        .stream(std::string("\x06") + "DataSpaces/TransformInfo/\x09" + "DRMTransform/\x06" + "Primary", "p")
        .write(shell.home().file("Documents/board.doc"));
    MainWindow& window = shell.window();
    window.resize(1000, 480);
    shell.go("Documents");
    ASSERT_TRUE(shell.rows().contains("board.doc"));
    FileListView* list = window.fileList();
    FileListModel* model = list->fileModel();
    list->selectionModel()->select(model->index(shell.rows().indexOf("salaries.docx"), 0),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // The protection of each document is found out after the rows are there.
    const int protectedRow = shell.rows().indexOf("salaries.docx");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return model->index(protectedRow, FileListModel::EncryptedColumn).data().toString() == "PWD"; }, 10000));
    ASSERT_TRUE(list->XListView_PrepareContextMenu());
    QMenu* menu = list->contextMenu().popup();
    // Beside the rows' protection and below them, so that both are seen.
    const QPoint menuPlace = list->mapTo(&window, QPoint(440, 110));
    menu->popup(window.mapToGlobal(menuPlace));
    QTest::qWait(100);

    QImage shot = window.grab().toImage();
    EXPECT_TRUE(drawnIn(shot, QRect(QPoint(4, window.menuBar()->height() + 40), QSize(80, 20))));
    QPainter painter(&shot);
    // Where the menu opened over the window; the virtual screen may have pushed the real one
    // elsewhere.
    painter.drawImage(menuPlace, menu->grab().toImage());
    painter.end();
    EXPECT_TRUE(shot.save(scaledName("main-window")));
    QImage shownMenu = menu->grab().toImage();
    EXPECT_TRUE(drawnIn(shownMenu, shownMenu.rect().adjusted(4, 4, -4, -4)));
    menu->hide();
}

TEST(MainWindowScreenshot, AboutBox)
{
    ShellFixture shell;
    bool saved = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(box));
        QImage shot = box->grab().toImage();
        saved = shot.save(scaledName("about-box"));
        EXPECT_TRUE(drawnIn(shot, QRect(QPoint(0, 0), shot.size() / 2)));
        box->accept();
    });
    shell.window().runCommand(MainWindow::ShowVersion);
    EXPECT_TRUE(saved);
}
