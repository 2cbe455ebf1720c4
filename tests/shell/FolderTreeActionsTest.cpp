#include "FolderTreeFixture.h"

#include "shell/FolderTreeActions.h"
#include "tests/support/AnsweringMessageBox.h"

#include <QPersistentModelIndex>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

// Catches a new folder that replaces or fails on a taken name, lands at the wrong row, or is
// made where there is no folder, or a refusal the user is not told of.
TEST(FolderTreeActions, NewFoldersAreNumberedAndSorted)
{
    FolderTreeFixture fixture;
    fixture.makeFolder("Zeta");
    FolderTreeModel& model = fixture.model();
    FolderTreeActions actions(model, nullptr);
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    QModelIndex home = fixture.place(0);
    QModelIndex first = actions.createFolder(home);
    QModelIndex second = actions.createFolder(home);
    QModelIndex third = actions.createFolder(home);
    ASSERT_TRUE(first.isValid() && second.isValid() && third.isValid()) << box.lastText.toStdString();
    EXPECT_EQ(model.pathOf(first), fixture.home() + "/New Folder");
    EXPECT_EQ(model.pathOf(second), fixture.home() + "/New Folder (2)");
    EXPECT_EQ(model.pathOf(third), fixture.home() + "/New Folder (3)");
    EXPECT_TRUE(fs::is_directory(fixture.home().toStdString() + "/New Folder (3)"));
    EXPECT_EQ(fixture.childLabels(home),
        QStringList({ "Documents", "New Folder", "New Folder (2)", "New Folder (3)", "Zeta" }));
    EXPECT_EQ(third.row(), 3);
    EXPECT_EQ(box.asked, 0);

    EXPECT_FALSE(actions.createFolder(model.index(0, 0)).isValid());
    EXPECT_FALSE(actions.createFolder(QModelIndex()).isValid());
    EXPECT_EQ(
        box.texts, QStringList(2, "A new folder can only be made inside a folder. Choose a folder first."));
    EXPECT_EQ(box.lastTitle, "Create Folder");
}

// Catches a failed mkdir that is reported as success or without its reason.
TEST(FolderTreeActions, NewFolderInAReadOnlyFolderTellsWhy)
{
    FolderTreeFixture fixture;
    QByteArray readOnly = fixture.makeFolder("read-only");
    ASSERT_EQ(::chmod(readOnly.constData(), 0555), 0);
    FolderTreeModel& model = fixture.model();
    FolderTreeActions actions(model, nullptr);
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    QModelIndex folder = model.pathToItemIdList(readOnly);
    UserPermissions asUser;
    EXPECT_FALSE(actions.createFolder(folder).isValid());
    ASSERT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastIcon, MessageBox::Icon::Error);
    EXPECT_TRUE(box.lastText.contains(QString::fromLocal8Bit(std::strerror(EACCES))))
        << box.lastText.toStdString();
    EXPECT_EQ(model.rowCount(folder), 0);
}

// Catches a rename that replaces an existing folder, takes a name with '/', leaves the disk or
// the node behind, loses the path of the folders inside, or turns an unchanged name that is not
// UTF-8 into other bytes.
TEST(FolderTreeActions, RenameChecksTheNameAndMovesTheNode)
{
    FolderTreeFixture fixture;
    fixture.makeFolder("alpha/inner");
    fixture.makeFolder("beta");
    QByteArray latin1 = fixture.makeFolder("caf\xe9");
    FolderTreeModel& model = fixture.model();
    FolderTreeActions actions(model, nullptr);
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    QPersistentModelIndex alpha = model.pathToItemIdList(fixture.home() + "/alpha");
    QPersistentModelIndex inner = model.pathToItemIdList(fixture.home() + "/alpha/inner");

    EXPECT_FALSE(actions.rename(alpha, "beta").isValid());
    EXPECT_EQ(box.asked, 1);
    EXPECT_EQ(box.lastTitle, "Change FolderName");
    EXPECT_TRUE(box.lastText.contains("beta")) << box.lastText.toStdString();
    EXPECT_TRUE(fs::is_directory(fixture.home().toStdString() + "/beta/"));
    EXPECT_FALSE(fs::exists(fixture.home().toStdString() + "/beta/inner"));
    for (const char* refused : { "a/b", "", ".", ".." })
        EXPECT_FALSE(actions.rename(alpha, QString::fromUtf8(refused)).isValid()) << refused;
    EXPECT_FALSE(actions.rename(alpha, QString(256, u'x')).isValid());
    EXPECT_EQ(box.asked, 6);
    EXPECT_TRUE(box.texts[1].contains("/")) << box.texts[1].toStdString();
    EXPECT_EQ(alpha.data().toString(), "alpha");

    // An edit committed unchanged hands back the shown text, whose bytes are not the name's.
    QModelIndex cafe = model.pathToItemIdList(latin1);
    EXPECT_FALSE(actions.rename(cafe, cafe.data().toString()).isValid());
    EXPECT_EQ(model.pathOf(cafe), latin1);
    EXPECT_EQ(box.asked, 6);

    QModelIndex zulu = actions.rename(alpha, "zulu");
    EXPECT_EQ(zulu, QModelIndex(alpha));
    EXPECT_EQ(box.asked, 6);
    EXPECT_FALSE(fs::exists(fixture.home().toStdString() + "/alpha"));
    EXPECT_TRUE(fs::is_directory(fixture.home().toStdString() + "/zulu/inner"));
    EXPECT_EQ(fixture.childLabels(fixture.place(0)).last(), "zulu");
    EXPECT_EQ(alpha.row(), 3);
    EXPECT_EQ(model.pathOf(inner), fixture.home() + "/zulu/inner");
}

// Catches a place or the computer that could be renamed or deleted, which would move the user's
// home away.
TEST(FolderTreeActions, PlacesAreNeitherRenamedNorDeleted)
{
    FolderTreeFixture fixture;
    FolderTreeModel& model = fixture.model();
    FolderTreeActions actions(model, nullptr);
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    for (QModelIndex fixed : { model.index(0, 0), fixture.place(0), fixture.place(2) }) {
        EXPECT_FALSE(actions.rename(fixed, "elsewhere").isValid());
        EXPECT_FALSE(actions.trashFolder(fixed));
    }
    EXPECT_EQ(box.asked, 0);
    EXPECT_TRUE(fs::is_directory(fixture.home().toStdString()));
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 3);
}

// Catches a delete that removes the folder for good instead of moving it to the trash, or that
// leaves its node behind.
TEST(FolderTreeActions, TrashedFolderGoesToTheTrash)
{
    FolderTreeFixture fixture;
    QByteArray doomed = fixture.makeFolder("doomed-tree-folder/kept");
    std::ofstream(doomed.toStdString() + "/letter.doc") << "dear";
    FolderTreeModel& model = fixture.model();
    FolderTreeActions actions(model, nullptr);
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    ASSERT_TRUE(actions.trashFolder(model.pathToItemIdList(fixture.home() + "/doomed-tree-folder")))
        << box.lastText.toStdString();
    EXPECT_EQ(box.lastButtons, MessageBox::Buttons::OkCancel);
    EXPECT_FALSE(fs::exists(fixture.home().toStdString() + "/doomed-tree-folder"));
    EXPECT_TRUE(fs::exists(shellTestTrash() + "/files/doomed-tree-folder/kept/letter.doc"));
    EXPECT_EQ(fixture.childLabels(fixture.place(0)), QStringList({ "Documents" }));
}
