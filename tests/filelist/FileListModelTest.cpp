#include "filelist/FileListModel.h"
#include "tests/support/CompoundFileWriter.h"
#include "tests/support/ListFilling.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

QByteArray folderOf(const TemporaryFolder& folder)
{
    return QByteArray::fromStdString(folder.path() + "/");
}

std::vector<std::string> namesOf(const FileListModel& model)
{
    std::vector<std::string> names;
    for (int row = 0; row < model.rowCount(); ++row)
        names.push_back(model.rowAt(row).name.toStdString());
    return names;
}

int rowNamed(const FileListModel& model, const std::string& name)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.rowAt(row).name.toStdString() == name)
            return row;
    }
    return -1;
}

QString cell(const FileListModel& model, int row, int column, int role = Qt::DisplayRole)
{
    return model.data(model.index(row, column), role).toString();
}

std::string corpusFile(const std::string& name)
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    std::string path = std::string(source ? source : ".") + "/../shared/corpus/office-crypto/" + name;
    return std::filesystem::exists(path) ? path : std::string();
}

}

// Catches a filter that lists workbooks, presentations, ".mht" or folders, or an order by bytes
// ("B.DOCX" would come first), and rows reported one by one instead of one reset.
TEST(FileListModel, ShowsWordDocumentsAndPublishedFilesInNameOrder)
{
    TemporaryFolder folder;
    for (const char* name :
        { "a.doc", "B.DOCX", "c.xls", "d.pptx", "e.pdf", "f.html", "g.mhtml", "h.mht", "i.csv" })
        folder.write(name, "x");
    std::filesystem::create_directory(folder.file("j"));
    std::filesystem::create_directory(folder.file("k.doc"));
    FileListModel model;
    QSignalSpy resets(&model, &FileListModel::modelReset);
    QSignalSpy inserts(&model, &FileListModel::rowsInserted);

    fillFrom(model, folderOf(folder));

    EXPECT_EQ(namesOf(model), (std::vector<std::string> { "a.doc", "B.DOCX", "e.pdf", "f.html", "g.mhtml" }));
    EXPECT_EQ(model.currentFolder(), folderOf(folder));
    EXPECT_EQ(resets.count(), 1);
    // In batches, not a row at a time.
    EXPECT_LT(inserts.count(), 5);
    for (const char* name : { "l.HTM", "m.txt", "n.Xps", "o.docm" })
        folder.write(name, "x");
    fillFrom(model, folderOf(folder));
    EXPECT_EQ(model.rowCount(), 9);
}

// Catches a folder that cannot be read leaving the old rows behind, and a missing folder, a file
// in place of a folder or the empty text giving anything but an empty list.
TEST(FileListModel, UnreadableOrMissingFolderGivesNoRows)
{
    TemporaryFolder folder;
    folder.write("a.doc", "x");
    std::string locked = folder.file("locked");
    std::filesystem::create_directory(locked);
    std::string lockedDocument = locked + "/b.doc";
    std::filesystem::copy_file(folder.file("a.doc"), lockedDocument);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    FileListModel model;

    for (const std::string& shown :
        { folder.path() + "/missing/", folder.file("a.doc") + "/", std::string() }) {
        fillFrom(model, folderOf(folder));
        ASSERT_EQ(model.rowCount(), 1);
        fillFrom(model, QByteArray::fromStdString(shown));
        EXPECT_EQ(model.rowCount(), 0) << shown;
        EXPECT_EQ(model.currentFolder().toStdString(), shown);
    }
    // The superuser reads every folder whatever its permissions, so the locked folder counts only
    // where it really is locked.
    fillFrom(model, QByteArray::fromStdString(locked + "/"));
    if (::access(locked.c_str(), R_OK) != 0) {
        EXPECT_EQ(model.rowCount(), 0);
    }
    ::chmod(locked.c_str(), 0700);
}

// Catches sizes rounded down or to the nearest kilobyte, and sizes cut to their low 32 bits.
TEST(FileListModel, SizesInStartedKilobytes)
{
    TemporaryFolder folder;
    folder.write("0.txt", "");
    folder.write("1.txt", "x");
    folder.write("1024.txt", std::string(1024, 'x'));
    folder.write("1025.txt", std::string(1025, 'x'));
    std::string large = folder.write("large.txt", "");
    std::filesystem::resize_file(large, (uint64_t(5) << 30) + 1);
    FileListModel model;
    fillFrom(model, folderOf(folder));

    auto size
        = [&](const char* name) { return cell(model, rowNamed(model, name), FileListModel::SizeColumn); };
    EXPECT_EQ(size("0.txt"), "0");
    EXPECT_EQ(size("1.txt"), "1");
    EXPECT_EQ(size("1024.txt"), "1");
    EXPECT_EQ(size("1025.txt"), "2");
    EXPECT_EQ(size("large.txt"), "5242881");
    EXPECT_EQ(cell(model, 0, FileListModel::SizeColumn, Qt::AccessibleTextRole), "Size in kilobytes: 0");
}

// Catches the kinds swapped or lost on the way from the protection test to the row.
TEST(FileListModel, ProtectedDocumentsCarryTheirKind)
{
    TemporaryFolder folder;
    CompoundFileWriter()
        .stream(std::string("\x06") + "DataSpaces/TransformInfo/\x09" + "DRMTransform/\x06" + "Primary", "p")
        .write(folder.file("rights.doc"));
    CompoundFileWriter()
        .stream("EncryptionInfo", std::string(40, '\x04'))
        .write(folder.file("password.docx"));
    folder.write("plain.txt", "text");
    std::vector<std::string> realPasswordDocuments;
    for (const char* name : { "rc4cryptoapi_password.doc", "example_password.docx" }) {
        if (std::string real = corpusFile(name); !real.empty()) {
            std::filesystem::copy_file(real, folder.file(name));
            realPasswordDocuments.push_back(name);
        }
    }
    FileListModel model;
    fillFrom(model, folderOf(folder));

    int rights = rowNamed(model, "rights.doc");
    EXPECT_EQ(model.rowAt(rights).kind, PROTECTION_IRM);
    EXPECT_EQ(cell(model, rights, FileListModel::EncryptedColumn), "IRM");
    for (const std::string& name : realPasswordDocuments) {
        int row = rowNamed(model, name);
        ASSERT_GE(row, 0) << name;
        EXPECT_EQ(model.rowAt(row).kind, PROTECTION_PASSWORD) << name;
    }
    int password = rowNamed(model, "password.docx");
    EXPECT_EQ(model.rowAt(password).kind, PROTECTION_PASSWORD);
    EXPECT_EQ(cell(model, password, FileListModel::EncryptedColumn), "PWD");
    EXPECT_EQ(
        cell(model, password, FileListModel::EncryptedColumn, Qt::AccessibleTextRole), "Encrypted: PWD");
    int plain = rowNamed(model, "plain.txt");
    EXPECT_EQ(model.rowAt(plain).kind, PROTECTION_NONE);
    EXPECT_EQ(cell(model, plain, FileListModel::EncryptedColumn), "");
}

// Catches the time shown in UTC instead of local time, or without its leading zeros.
TEST(FileListModel, LastWriteInLocalTime)
{
    TemporaryFolder folder;
    std::string file = folder.write("a.doc", "x");
    // 2024-03-05 00:07:30 UTC, which is 09:07 in Japan.
    struct timespec times[2] = { { 1709597250, 0 }, { 1709597250, 0 } };
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    FileListModel model;
    {
        ScopedEnvironment zone("TZ", "JST-9");
        ::tzset();
        fillFrom(model, folderOf(folder));
    }
    ::tzset();
    EXPECT_EQ(cell(model, 0, FileListModel::LastModifiedColumn), "2024/03/05 09:07");
}

// Catches names mangled on their way through the list: a name that is no UTF-8, with a line
// feed, quotes or a leading '-', or of the longest length, must lead back to its very file.
TEST(FileListModel, NamesKeepTheirExactBytes)
{
    TemporaryFolder folder;
    std::vector<std::string> names = { "caf\xE9.doc", "line\nfeed.pdf", "\"quoted\" 'name'.txt",
        "-leading.doc", std::string(251, 'n') + ".txt" };
    for (const std::string& name : names)
        folder.write(name, "x");
    FileListModel model;
    fillFrom(model, folderOf(folder));

    ASSERT_EQ(model.rowCount(), static_cast<int>(names.size()));
    for (const std::string& name : names) {
        int row = rowNamed(model, name);
        ASSERT_GE(row, 0) << name;
        EXPECT_TRUE(std::filesystem::exists(model.fullPath(row).toStdString())) << name;
    }
    int row = rowNamed(model, "caf\xE9.doc");
    EXPECT_TRUE(cell(model, row, FileListModel::NameColumn).startsWith("caf"));
    EXPECT_EQ(cell(model, row, FileListModel::NameColumn, Qt::EditRole),
        cell(model, row, FileListModel::NameColumn));
}

// Catches a link to a document left out or shown with the link's own size, a dangling link
// breaking the listing, and a FIFO under a document's name blocking the list until a writer
// comes (a helper plays that writer after a while, so that a blocking fill still ends).
TEST(FileListModel, LinksAndFifosAmongTheFiles)
{
    TemporaryFolder folder;
    TemporaryFolder elsewhere;
    std::string target = elsewhere.write("target.doc", std::string(3000, 'x'));
    ASSERT_EQ(::symlink(target.c_str(), folder.file("link.doc").c_str()), 0);
    ASSERT_EQ(::symlink(elsewhere.file("gone.doc").c_str(), folder.file("dangling.doc").c_str()), 0);
    std::string fifo = folder.file("x.doc");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> filled = false;
    std::thread writer([&] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!filled && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (!filled) {
            int descriptor = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (descriptor >= 0)
                ::close(descriptor);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    FileListModel model;
    auto start = std::chrono::steady_clock::now();
    fillFrom(model, folderOf(folder));
    auto took = std::chrono::steady_clock::now() - start;
    filled = true;
    writer.join();

    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_EQ(namesOf(model), (std::vector<std::string> { "link.doc", "x.doc" }));
    EXPECT_EQ(cell(model, 0, FileListModel::SizeColumn), "3");
}

// Catches a dropped file filtered like a filling, put at the end instead of its sorted place,
// or a row made for a folder, a missing file or a file of another folder.
TEST(FileListModel, InsertedFileTakesItsSortedPlace)
{
    TemporaryFolder folder;
    folder.write("a.doc", "x");
    folder.write("c.doc", "x");
    FileListModel model;
    fillFrom(model, folderOf(folder));
    std::string workbook = folder.write("B.xls", std::string(2048, 'x'));
    QSignalSpy inserts(&model, &FileListModel::rowsInserted);

    EXPECT_EQ(model.insertFile(QByteArray::fromStdString(workbook)), 1);
    EXPECT_EQ(namesOf(model), (std::vector<std::string> { "a.doc", "B.xls", "c.doc" }));
    ASSERT_EQ(inserts.count(), 1);
    EXPECT_EQ(inserts[0][1].toInt(), 1);
    EXPECT_EQ(cell(model, 1, FileListModel::SizeColumn), "2");
    EXPECT_EQ(model.insertFile(QByteArray::fromStdString(folder.write("A.doc", "x"))), 0);

    std::filesystem::create_directory(folder.file("sub.doc"));
    TemporaryFolder other;
    for (const std::string& refused : { folder.file("sub.doc"), folder.file("missing.doc"),
             folder.path() + "/.", other.write("d.doc", "x") })
        EXPECT_EQ(model.insertFile(QByteArray::fromStdString(refused)), -1) << refused;
    EXPECT_EQ(model.rowCount(), 4);
}

// Catches a renamed row left out of order (where a row added later relies on the order) or the
// view left unaware, and removal of the wrong row.
TEST(FileListModel, RenameMovesTheRowToItsPlaceAndRemoveTakesTheRow)
{
    TemporaryFolder folder;
    for (const char* name : { "a.doc", "b.doc", "c.doc" })
        folder.write(name, "x");
    FileListModel model;
    fillFrom(model, folderOf(folder));
    QSignalSpy changes(&model, &FileListModel::dataChanged);
    QSignalSpy moves(&model, &FileListModel::rowsMoved);

    EXPECT_EQ(model.renameRow(0, "z.doc"), 2);
    EXPECT_EQ(model.renameRow(1, "d.doc"), 1);
    EXPECT_EQ(namesOf(model), (std::vector<std::string> { "b.doc", "d.doc", "z.doc" }));
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(moves.count(), 1);
    EXPECT_EQ(model.fullPath(2), folderOf(folder) + "z.doc");
    EXPECT_EQ(model.insertFile(folderOf(folder) + "c.doc"), 1);
    model.removeRowAt(0);
    model.removeRowAt(7);
    EXPECT_EQ(namesOf(model), (std::vector<std::string> { "c.doc", "d.doc", "z.doc" }));
}

// Catches a document without the desktop's type name or icon, an icon on other columns, and a
// null icon handed to the view as if it were one when the theme has none.
TEST(FileListModel, TypeNamesAndIcons)
{
    TemporaryFolder folder;
    folder.write("a.doc", "x");
    folder.write("b.pdf", "x");
    FileListModel model;
    fillFrom(model, folderOf(folder));

    EXPECT_FALSE(cell(model, 0, FileListModel::TypeColumn).isEmpty());
    EXPECT_NE(cell(model, 0, FileListModel::TypeColumn), cell(model, 1, FileListModel::TypeColumn));
    QIcon icon = model.data(model.index(0, FileListModel::NameColumn), Qt::DecorationRole).value<QIcon>();
    ASSERT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(16, 16).isNull());
    EXPECT_FALSE(model.data(model.index(0, FileListModel::TypeColumn), Qt::DecorationRole).isValid());

    // Theme icons are looked up when they are drawn, so the missing theme has to stay in place
    // until the row has been asked for its icon.
    QString theme = QIcon::themeName();
    QString fallback = QIcon::fallbackThemeName();
    QIcon::setThemeName("no-such-theme");
    QIcon::setFallbackThemeName("no-such-theme");
    int row = model.insertFile(QByteArray::fromStdString(folder.write("c.html", "x")));
    bool hasIcon = model.data(model.index(row, FileListModel::NameColumn), Qt::DecorationRole).isValid();
    QIcon::setThemeName(theme);
    QIcon::setFallbackThemeName(fallback);
    EXPECT_EQ(row, 2);
    EXPECT_FALSE(hasIcon);
}

// Catches headers, widths or alignments that differ from what the view lays out, and a name
// column that cannot be edited in place.
TEST(FileListModel, ColumnsAndFlags)
{
    TemporaryFolder folder;
    folder.write("a.doc", "x");
    FileListModel model;
    fillFrom(model, folderOf(folder));
    const char* headers[] = { "FileName", "Encrypted", "LastModified", "Type", "Size(KB)" };
    const int widths[] = { 300, 80, 120, 120, 70 };
    ASSERT_EQ(model.columnCount(), 5);
    for (int column = 0; column < model.columnCount(); ++column) {
        EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), headers[column]);
        EXPECT_EQ(FileListModel::columnWidth(column), widths[column]);
        Qt::Alignment expected = column == FileListModel::SizeColumn ? Qt::AlignRight : Qt::AlignLeft;
        int alignment = model.data(model.index(0, column), Qt::TextAlignmentRole).toInt();
        EXPECT_EQ(alignment & Qt::AlignHorizontal_Mask, static_cast<int>(expected)) << column;
        EXPECT_EQ(model.flags(model.index(0, column)).testFlag(Qt::ItemIsEditable), column == 0) << column;
    }
}

// More files than the window takes at once, all tested before it takes any: the answers of files
// whose rows come in a later take must not be lost (a protected row would show as unprotected
// for good).
TEST(FileListModel, AnswersThatComeBeforeTheirRowsReachThem)
{
    const std::string locked = corpusFile("ecma376standard_password.docx");
    ASSERT_FALSE(locked.empty());
    TemporaryFolder folder;
    for (int file = 0; file < 5000; ++file)
        folder.write("doc" + std::to_string(file) + ".doc", "plain");
    std::filesystem::copy_file(locked, folder.file("zz-locked.docx"));
    FileListModel model;
    model.showFolder(folderOf(folder));
    // The window is busy elsewhere while the folder is listed and tested.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    waitUntilFilled(model);
    ASSERT_EQ(model.rowCount(), 5001);
    EXPECT_TRUE(model.protectionKnown({ "zz-locked.docx", "doc4999.doc", "doc0.doc" }));
    EXPECT_EQ(cell(model, 5000, FileListModel::EncryptedColumn), "PWD");
}
