#include "FolderTreeFixture.h"

#include "tests/support/TestDesktop.h"

#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/fsuid.h>

namespace {

// Nobody's account, which owns none of the test's folders.
constexpr unsigned nobody = 65534;

}

FolderTreeFixture::FolderTreeFixture(FolderTreeModel::SubFolderLister lister)
{
    // GIO takes the trash's place from the environment at its first use.
    shellTestTrash();
    std::filesystem::create_directories(documents().toStdString());
    // Open to other accounts, so that a test that takes root's privileges away still reaches
    // the folders it made.
    std::filesystem::permissions(m_folder.path(), std::filesystem::perms(0755));
    m_model = std::make_unique<FolderTreeModel>(
        FolderTreePlaces { home(), documents(), {} }, nullptr, std::move(lister));
}

QByteArray FolderTreeFixture::makeFolder(const std::string& relative) const
{
    std::string path = home().toStdString() + "/" + relative;
    std::filesystem::create_directories(path);
    return QByteArray::fromStdString(path);
}

QModelIndex FolderTreeFixture::place(int row) const
{
    return m_model->index(row, 0, m_model->index(0, 0));
}

QStringList FolderTreeFixture::childLabels(const QModelIndex& parent)
{
    if (m_model->canFetchMore(parent))
        m_model->fetchMore(parent);
    // A node being read claims children but has no rows yet.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return m_model->rowCount(parent) > 0 || !m_model->hasChildren(parent); }, 20000))
        << "the listing never came back";
    QStringList labels;
    for (int row = 0; row < m_model->rowCount(parent); ++row)
        labels << m_model->index(row, 0, parent).data().toString();
    return labels;
}

std::string shellTestTrash()
{
    return TestDesktop::install({}).dataHome() + "/Trash";
}

UserPermissions::UserPermissions()
    : m_previous(static_cast<unsigned>(::setfsuid(nobody)))
{
}

UserPermissions::~UserPermissions()
{
    ::setfsuid(m_previous);
}
