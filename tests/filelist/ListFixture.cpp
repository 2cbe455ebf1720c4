#include "ListFixture.h"

#include "ListDesktop.h"

#include "filelist/XListView.h"
#include "tests/support/ListFilling.h"
#include "tests/support/ReadFile.h"

#include <QFile>
#include <QItemSelectionModel>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

ListFixture::ListFixture(PublishingJobs::Factories factories)
    : m_jobs((listDesktop(), std::make_unique<PublishingJobs>(std::move(factories))))
    , m_list(std::make_unique<FileListView>(*m_jobs))
{
    m_list->resize(720, 360);
}

std::string ListFixture::write(const std::string& name, const std::string& bytes) const
{
    return m_folder.write(name, bytes);
}

void ListFixture::show()
{
    XListView_ShowFiles(m_list.get(), folderText().c_str());
    waitUntilFilled(model());
}

QStringList ListFixture::names() const
{
    QStringList names;
    for (int row = 0; row < m_list->fileModel()->rowCount(); ++row)
        names << QString::fromStdString(m_list->fileModel()->rowAt(row).name.toStdString());
    return names;
}

int ListFixture::rowOf(const std::string& name) const
{
    return static_cast<int>(names().indexOf(QString::fromStdString(name)));
}

void ListFixture::select(const std::vector<std::string>& names)
{
    QItemSelectionModel* selection = m_list->selectionModel();
    selection->clearSelection();
    for (const std::string& name : names) {
        QModelIndex index = m_list->fileModel()->index(rowOf(name), 0);
        selection->setCurrentIndex(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

std::string ListFixture::readFile(const std::string& name) const
{
    return ::readFile(m_folder.file(name));
}

void ListFixture::copyPasswordDocument(const std::string& name) const
{
    const char* source = std::getenv("PRESSLING_SOURCE_DIR");
    std::string document = std::string(source ? source : ".")
        + "/../shared/corpus/office-crypto/ecma376standard_password.docx";
    ASSERT_TRUE(std::filesystem::exists(document)) << "no corpus beside the checkout: " << document;
    std::filesystem::copy_file(document, m_folder.file(name));
}
