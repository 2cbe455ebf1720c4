#include "FolderTreeFixture.h"

#include "platform/FolderEntries.h"

#include <QCoreApplication>
#include <QPersistentModelIndex>
#include <QStringList>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

QStringList asList(std::initializer_list<const char*> labels)
{
    QStringList list;
    for (const char* label : labels)
        list << QString::fromUtf8(label);
    return list;
}

// Holds the listings that a model starts until the test lets them go, then reads the folder for
// real. A model keeps one copy of the lister, and each worker one until it has told its model.
struct HeldListings {
    std::promise<void> letGo;
    std::shared_ptr<std::shared_future<void>> gate
        = std::make_shared<std::shared_future<void>>(letGo.get_future().share());

    FolderTreeModel::SubFolderLister lister() const
    {
        return [gate = gate](const std::string& folder) {
            gate->wait();
            return platform::FolderEntries::subFolderNames(folder);
        };
    }
    // Until no worker holds the lister any more (a model keeps one copy); what they posted is
    // still on its way to the GUI thread.
    bool workersEnded(long models) const
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (gate.use_count() > 1 + models && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        return gate.use_count() == 1 + models;
    }
};

}

// Catches a computer node with a path, places in the wrong order, or a place shown for a
// documents folder that is the home itself.
TEST(FolderTreeModel, ComputerHoldsThePlacesInOrderAndHasNoPath)
{
    FolderTreeFixture fixture;
    FolderTreeModel& model = fixture.model();
    ASSERT_EQ(model.rowCount(), 1);
    QModelIndex computer = model.index(0, 0);
    EXPECT_EQ(computer.data().toString(), "Computer");
    EXPECT_TRUE(model.pathOf(computer).isEmpty());
    EXPECT_TRUE(model.pathOf(QModelIndex()).isEmpty());
    EXPECT_EQ(fixture.childLabels(computer), asList({ "Home", "Documents", "File System" }));
    EXPECT_EQ(model.pathOf(fixture.place(0)), fixture.home());
    EXPECT_EQ(model.pathOf(fixture.place(2)), "/");

    FolderTreeModel volumes(FolderTreePlaces { fixture.home(), {}, { "/media/user/USB STICK/" } });
    QModelIndex volumesComputer = volumes.index(0, 0);
    ASSERT_EQ(volumes.rowCount(volumesComputer), 3);
    QModelIndex stick = volumes.index(2, 0, volumesComputer);
    EXPECT_EQ(stick.data().toString(), "USB STICK");
    EXPECT_EQ(volumes.pathOf(stick), "/media/user/USB STICK");
}

// Catches a model that reads the whole disk up front, or one that shows files or dot-folders.
TEST(FolderTreeModel, ListsFoldersOnlyAndOnlyWhenAsked)
{
    FolderTreeFixture fixture;
    fixture.makeFolder("projects/deep/deeper");
    fixture.makeFolder(".config");
    std::ofstream(fixture.home().toStdString() + "/notes.doc") << "x";
    FolderTreeModel& model = fixture.model();
    QModelIndex home = fixture.place(0);
    EXPECT_EQ(model.rowCount(home), 0);
    EXPECT_TRUE(model.canFetchMore(home));
    EXPECT_TRUE(model.hasChildren(home));

    EXPECT_EQ(fixture.childLabels(home), asList({ "Documents", "projects" }));
    EXPECT_FALSE(model.canFetchMore(home));
    QModelIndex projects = model.index(1, 0, home);
    EXPECT_TRUE(model.canFetchMore(projects));
    EXPECT_EQ(model.rowCount(projects), 0);

    QModelIndex documents = model.index(0, 0, home);
    EXPECT_TRUE(fixture.childLabels(documents).isEmpty());
    EXPECT_FALSE(model.hasChildren(documents)) << "an empty folder keeps its expansion mark";
}

// Catches an order that minds letter case or puts "folder10" before "folder2".
TEST(FolderTreeModel, ChildrenInNaturalCaseInsensitiveOrder)
{
    FolderTreeFixture fixture;
    for (const char* name : { "folder10", "Folder2", "folder1", "beta", "Alpha", "Documents" })
        fixture.makeFolder(name);
    EXPECT_EQ(fixture.childLabels(fixture.place(0)),
        asList({ "Alpha", "beta", "Documents", "folder1", "Folder2", "folder10" }));
}

// Catches a path lookup that fails on nested paths, trailing slashes or the root, that starts at
// the wrong place, or that reports files, missing paths and relative paths as folders.
TEST(FolderTreeModel, PathLookUpFindsFoldersFromTheLongestPlace)
{
    FolderTreeFixture fixture;
    QByteArray nested = fixture.makeFolder("a/b/c");
    QByteArray inDocuments = fixture.makeFolder("Documents/reports/2024");
    FolderTreeModel& model = fixture.model();

    QModelIndex c = model.pathToItemIdList(nested);
    ASSERT_TRUE(c.isValid());
    EXPECT_EQ(model.pathOf(c), nested);
    EXPECT_EQ(c.data().toString(), "c");
    EXPECT_EQ(c.parent().parent().parent(), fixture.place(0)) << "a folder of the home lies under Home";
    EXPECT_EQ(model.pathToItemIdList(nested + "/"), c);
    EXPECT_EQ(model.pathToItemIdList(fixture.home() + "//a/./b/c"), c);

    QModelIndex report = model.pathToItemIdList(inDocuments);
    ASSERT_TRUE(report.isValid());
    EXPECT_EQ(report.parent().parent(), fixture.place(1)) << "found under Documents, not under Home";
    EXPECT_EQ(model.pathToItemIdList(fixture.documents() + "/"), fixture.place(1));
    EXPECT_EQ(model.pathToItemIdList(fixture.home()), fixture.place(0));

    QModelIndex root = model.pathToItemIdList("/");
    EXPECT_EQ(root, fixture.place(2));
    EXPECT_EQ(model.pathOf(root), "/");
    QModelIndex tmp = model.pathToItemIdList("/tmp");
    ASSERT_TRUE(tmp.isValid());
    EXPECT_EQ(tmp.parent(), fixture.place(2));
    EXPECT_EQ(model.pathOf(tmp), "/tmp");

    std::ofstream(fixture.home().toStdString() + "/a/file.doc") << "x";
    EXPECT_FALSE(model.pathToItemIdList(fixture.home() + "/a/file.doc").isValid());
    EXPECT_FALSE(model.pathToItemIdList(fixture.home() + "/a/missing").isValid());
    EXPECT_FALSE(model.pathToItemIdList("").isValid());
    EXPECT_FALSE(model.pathToItemIdList("a/b").isValid());
    EXPECT_FALSE(model.pathToItemIdList(nested + "/../b").isValid());
}

// Catches a hidden folder that cannot be reached by its path, as when the last folder of a run
// was one.
TEST(FolderTreeModel, HiddenFolderIsFoundByItsPathAndSurvivesRefresh)
{
    FolderTreeFixture fixture;
    QByteArray hidden = fixture.makeFolder(".cache/thumbnails");
    FolderTreeModel& model = fixture.model();
    QPersistentModelIndex thumbnails = model.pathToItemIdList(hidden);
    ASSERT_TRUE(thumbnails.isValid());
    EXPECT_EQ(model.pathOf(thumbnails), hidden);
    EXPECT_EQ(thumbnails.parent().data().toString(), ".cache");
    model.refresh(fixture.place(0));
    EXPECT_TRUE(thumbnails.isValid()) << "the selection on a hidden folder would jump away";
}

// Catches a look-up or a listing that opens a FIFO and waits for a writer, and one that follows
// a link loop for ever.
TEST(FolderTreeModel, FifoAndLinkLoopsNeitherHangNorRecurse)
{
    FolderTreeFixture fixture;
    std::string home = fixture.home().toStdString();
    ASSERT_EQ(::mkfifo((home + "/pipe").c_str(), 0600), 0);
    fs::create_directory_symlink(home + "/loop-b", home + "/loop-a");
    fs::create_directory_symlink(home + "/loop-a", home + "/loop-b");
    fs::create_directory_symlink(".", home + "/self");
    FolderTreeModel& model = fixture.model();

    EXPECT_FALSE(model.pathToItemIdList(fixture.home() + "/pipe").isValid());
    EXPECT_FALSE(model.pathToItemIdList(fixture.home() + "/loop-a").isValid());
    EXPECT_EQ(fixture.childLabels(fixture.place(0)), asList({ "Documents", "self" }));

    QByteArray deep = fixture.home() + "/self/self/self/Documents";
    QModelIndex found = model.pathToItemIdList(deep);
    ASSERT_TRUE(found.isValid());
    EXPECT_EQ(model.pathOf(found), deep);
    EXPECT_EQ(fixture.childLabels(found.parent()), asList({ "Documents", "self" }));
}

// Catches a name that is turned into text and back, which loses bytes that are not UTF-8.
TEST(FolderTreeModel, NonUtf8NamesKeepTheirBytes)
{
    FolderTreeFixture fixture;
    QByteArray latin1 = fixture.makeFolder("caf\xe9");
    FolderTreeModel& model = fixture.model();
    QStringList labels = fixture.childLabels(fixture.place(0));
    ASSERT_EQ(labels.size(), 2);
    QModelIndex cafe = model.index(labels.indexOf("Documents") == 0 ? 1 : 0, 0, fixture.place(0));
    EXPECT_EQ(model.pathOf(cafe), latin1);
    EXPECT_EQ(model.pathToItemIdList(latin1), cafe);
}

// Catches a refresh that rebuilds every node (losing the selection's index) or that crashes on a
// folder removed behind the tree's back.
TEST(FolderTreeModel, RefreshKeepsNodesAndDropsVanishedFolders)
{
    FolderTreeFixture fixture;
    fixture.makeFolder("a");
    fixture.makeFolder("b/inner");
    fixture.makeFolder("c");
    FolderTreeModel& model = fixture.model();
    QPersistentModelIndex c = model.pathToItemIdList(fixture.home() + "/c");
    QPersistentModelIndex inner = model.pathToItemIdList(fixture.home() + "/b/inner");
    ASSERT_TRUE(c.isValid() && inner.isValid());

    fs::remove_all(fixture.home().toStdString() + "/b");
    fixture.makeFolder("d");
    model.refresh(inner);
    EXPECT_EQ(model.rowCount(inner), 0);
    model.refresh(fixture.place(0));
    EXPECT_EQ(fixture.childLabels(fixture.place(0)), asList({ "a", "c", "d", "Documents" }));
    EXPECT_TRUE(c.isValid());
    EXPECT_EQ(model.pathOf(c), fixture.home() + "/c");
    EXPECT_FALSE(inner.isValid());

    fs::remove_all(fixture.home().toStdString());
    model.refresh(c);
    model.refresh(fixture.place(0));
    EXPECT_EQ(model.rowCount(fixture.place(0)), 0);
    EXPECT_FALSE(c.isValid());
    model.refresh(QModelIndex());
    model.refresh(model.index(0, 0));
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 3) << "the places stay";
}

// Catches a folder that cannot be read being shown with children, or a crash on it.
TEST(FolderTreeModel, UnreadableFolderShowsNoChildren)
{
    FolderTreeFixture fixture;
    QByteArray locked = fixture.makeFolder("locked/inside");
    locked.chop(static_cast<int>(sizeof("/inside") - 1));
    ASSERT_EQ(::chmod(locked.constData(), 0), 0);
    FolderTreeModel& model = fixture.model();
    UserPermissions asUser;
    QModelIndex folder = model.pathToItemIdList(locked);
    ASSERT_TRUE(folder.isValid());
    EXPECT_TRUE(fixture.childLabels(folder).isEmpty());
    EXPECT_FALSE(model.hasChildren(folder));
    EXPECT_FALSE(model.pathToItemIdList(locked + "/inside").isValid());
    model.refresh(folder);
    EXPECT_EQ(model.rowCount(folder), 0);
}

// Catches a folder read on the GUI thread when the view opens it (its rows would be there as
// fetchMore returns), and files, links to files or links that lead nowhere shown as folders.
TEST(FolderTreeModel, OpeningAFolderOfThousandsReadsItOffTheGuiThread)
{
    FolderTreeFixture fixture;
    std::string many = fixture.makeFolder("many").toStdString();
    QStringList expected;
    for (int number = 1; number <= 3000; ++number) {
        fs::create_directory(many + "/folder" + std::to_string(number));
        expected << QString("folder%1").arg(number);
    }
    std::ofstream(many + "/letter.doc") << "x";
    fs::create_directory_symlink(many + "/folder1", many + "/link to a folder");
    fs::create_symlink(many + "/letter.doc", many + "/link to a letter");
    fs::create_symlink(many + "/nowhere", many + "/link to nowhere");
    FolderTreeModel& model = fixture.model();
    QModelIndex folder = model.pathToItemIdList(QByteArray::fromStdString(many));
    model.fetchMore(folder);
    EXPECT_EQ(model.rowCount(folder), 0) << "read on the GUI thread";
    EXPECT_TRUE(model.hasChildren(folder));
    EXPECT_FALSE(model.canFetchMore(folder)) << "asked for once";
    EXPECT_EQ(fixture.childLabels(folder), expected << "link to a folder");
}

// Catches a listing that comes back to a model destroyed meanwhile, to a node taken out meanwhile
// (both freed), to a node renamed meanwhile (the old path's nothing as its children), or to a node
// read again on the GUI thread meanwhile (its children twice).
TEST(FolderTreeModel, AListingThatComesBackLateFindsTheTreeAsItIsNow)
{
    HeldListings held;
    FolderTreeFixture fixture(held.lister());
    for (const char* folder : { "gone/inner", "renamed/inner", "twice/a", "twice/b" })
        fixture.makeFolder(folder);
    FolderTreeModel& model = fixture.model();
    QPersistentModelIndex gone = model.pathToItemIdList(fixture.home() + "/gone");
    QPersistentModelIndex renamed = model.pathToItemIdList(fixture.home() + "/renamed");
    QPersistentModelIndex twice = model.pathToItemIdList(fixture.home() + "/twice");
    for (const QPersistentModelIndex& folder : { gone, renamed, twice })
        model.fetchMore(folder);
    auto closed = std::make_unique<FolderTreeModel>(
        FolderTreePlaces { fixture.home(), {}, {} }, nullptr, held.lister());
    closed->fetchMore(closed->index(0, 0, closed->index(0, 0)));
    closed.reset();
    std::string home = fixture.home().toStdString();
    fs::rename(home + "/renamed", home + "/moved");
    model.renameNode(renamed, "moved");

    held.letGo.set_value();
    ASSERT_TRUE(held.workersEnded(1));
    fs::remove_all(home + "/gone");
    model.refresh(fixture.place(0));
    model.refresh(twice);
    QCoreApplication::processEvents();
    EXPECT_FALSE(gone.isValid());
    EXPECT_EQ(fixture.childLabels(twice), asList({ "a", "b" }));
    EXPECT_EQ(fixture.childLabels(renamed), asList({ "inner" }));
    EXPECT_EQ(fixture.childLabels(fixture.place(0)), asList({ "Documents", "moved", "twice" }));
}
