#include "ShellFixture.h"
#include "tests/support/ListFilling.h"

#include "filelist/FileListModel.h"
#include "shell/FolderTree.h"
#include "shell/FolderTreeModel.h"
#include "shell/FolderTreePlaces.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

ShellFixture::ShellFixture()
{
    m_home.write("Documents/report.docx", "not really a document");
    m_home.write("Documents/budget.xlsx", "not really a workbook");
    m_home.write("Documents/notes.txt", "plain text");
    m_home.write("Projects/plan.docx", "plan");
    m_home.write("Archive/old.doc", "old");
    build();
}

ShellFixture::~ShellFixture() = default;

void ShellFixture::build()
{
    FolderTreePlaces places;
    places.home = QByteArray(m_home.path().c_str());
    places.documents = QByteArray(m_home.file("Documents").c_str());
    TraceSink trace([this](std::string_view line) { m_trace += line; });
    m_window = std::make_unique<MainWindow>(m_jobs, trace, new FolderTreeModel(places));
    m_window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
}

void ShellFixture::restart()
{
    m_window.reset();
    build();
}

QByteArray ShellFixture::folder(const std::string& below) const
{
    std::string path = below.empty() ? m_home.path() : m_home.file(below);
    return QByteArray(path.c_str()) + '/';
}

void ShellFixture::go(const std::string& below)
{
    QModelIndex index = m_window->folderModel()->pathToItemIdList(folder(below));
    m_window->folderTree()->selectFolder(index);
    waitUntilFilled(*m_window->fileList()->fileModel());
}

QStringList ShellFixture::history() const
{
    QStringList entries;
    for (int i = 0; i < m_window->historyBox()->count(); ++i)
        entries << m_window->historyBox()->itemText(i);
    return entries;
}

QStringList ShellFixture::rows() const
{
    QStringList names;
    FileListModel* model = m_window->fileList()->fileModel();
    waitUntilFilled(*model);
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 0).data().toString();
    return names;
}
