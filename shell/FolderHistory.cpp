#include "shell/FolderHistory.h"

#include <QComboBox>
#include <QFile>

FolderHistory::FolderHistory(QComboBox* comboBox)
    : m_comboBox(comboBox)
{
}

void FolderHistory::visit(const QByteArray& folder)
{
    const QString text = QFile::decodeName(folder).left(MaximumLength);
    // Folders are told apart by their bytes, as the file system tells them: "Projects/" and
    // "projects/" are two folders, each with its entry.
    if (!text.isEmpty() && m_comboBox->findData(folder) < 0)
        m_comboBox->insertItem(0, text, folder);
    m_comboBox->setEditText(QFile::decodeName(folder));
}

QByteArray FolderHistory::folderAt(int index) const
{
    QVariant folder = m_comboBox->itemData(index);
    return folder.isValid() ? folder.toByteArray() : QFile::encodeName(m_comboBox->itemText(index));
}

bool FolderHistory::namesCurrentFolder(const QString& chosen, const QByteArray& currentFolder)
{
    return chosen == QFile::decodeName(currentFolder);
}
