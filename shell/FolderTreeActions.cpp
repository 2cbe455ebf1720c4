#include "shell/FolderTreeActions.h"

#include "shell/FolderNameRules.h"
#include "shell/FolderTreeModel.h"

#include "platform/FileOperations.h"
#include "platform/NativeDirectory.h"
#include "platform/Trash.h"
#include "ui/MessageBox.h"

#include <QFile>

#include <cerrno>
#include <cstring>

namespace {

const QString createTitle = QStringLiteral("Create Folder");
const QString deleteTitle = QStringLiteral("Delete Folder");
// More than enough for "New Folder (n)"; a folder holding them all is not worth waiting on.
constexpr int newFolderAttempts = 10000;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The computer and the places are where the user stands; only the folders below them change.
bool isFolder(const QModelIndex& index)
{
    return index.flags() & Qt::ItemIsEditable;
}

}

FolderTreeActions::FolderTreeActions(FolderTreeModel& model, QWidget* boxOwner)
    : m_model(model)
    , m_boxOwner(boxOwner)
{
}

QModelIndex FolderTreeActions::createFolder(const QModelIndex& parent)
{
    QByteArray folder = m_model.pathOf(parent);
    if (folder.isEmpty()) {
        showError(createTitle,
            QStringLiteral("A new folder can only be made inside a folder. Choose a folder first."));
        return {};
    }
    for (int attempt = 1; attempt <= newFolderAttempts; ++attempt) {
        QByteArray name
            = attempt == 1 ? QByteArray("New Folder") : "New Folder (" + QByteArray::number(attempt) + ')';
        QByteArray path = FolderTreeModel::childPath(folder, name);
        if (!platform::NativeDirectory::create(path.constData())) {
            // A name that is taken, even by something made meanwhile, only means the next name;
            // any other reason is the one mkdir left.
            int reason = errno;
            if (platform::fileOperations::entryExists(path.toStdString()))
                continue;
            showError(createTitle,
                QStringLiteral("Cannot create the folder \"%1\" in \"%2\": %3")
                    .arg(QFile::decodeName(name), QFile::decodeName(folder), systemError(reason)));
            return {};
        }
        return m_model.childFolder(parent, name);
    }
    showError(createTitle,
        QStringLiteral("Cannot create a new folder in \"%1\": every name up to \"New Folder (%2)\" is taken.")
            .arg(QFile::decodeName(folder))
            .arg(newFolderAttempts));
    return {};
}

bool FolderTreeActions::trashFolder(const QModelIndex& folder)
{
    if (!isFolder(folder))
        return false;
    QByteArray path = m_model.pathOf(folder);
    MessageBox::Answer answer = MessageBox::current().show(m_boxOwner, deleteTitle,
        QStringLiteral("Move the folder \"%1\" and everything in it to the trash?")
            .arg(QFile::decodeName(path)),
        MessageBox::Buttons::OkCancel, MessageBox::Icon::Question);
    if (answer != MessageBox::Answer::Ok)
        return false;
    if (int reason = platform::moveToTrash(path.constData()); reason != 0) {
        showError(deleteTitle,
            QStringLiteral("Cannot move the folder \"%1\" to the trash: %2")
                .arg(QFile::decodeName(path), systemError(reason)));
        return false;
    }
    // Listing the parent again takes the node out, and anything else that changed beside it.
    m_model.refresh(folder.parent());
    return true;
}

QModelIndex FolderTreeActions::rename(const QModelIndex& folder, const QString& text)
{
    // An unchanged text is no rename; for a name that is not valid UTF-8 the shown text would
    // not even encode back to the same bytes.
    if (!isFolder(folder) || text == folder.data().toString())
        return {};
    QByteArray parent = m_model.pathOf(folder.parent());
    QByteArray name = QFile::encodeName(text);
    QByteArray target = FolderTreeModel::childPath(parent, name);
    QString problem = FolderNameRules::problemWith(text);
    if (problem.isEmpty() && platform::fileOperations::entryExists(target.toStdString()))
        problem = QStringLiteral("\"%1\" already exists in \"%2\". Choose another name.")
                      .arg(text, QFile::decodeName(parent));
    int reason = 0;
    if (problem.isEmpty()
        && !platform::fileOperations::renameNoReplace(
            m_model.pathOf(folder).toStdString(), target.toStdString(), reason))
        problem = reason == EEXIST ? QStringLiteral("\"%1\" already exists. Choose another name.").arg(text)
                                   : QStringLiteral("Cannot rename \"%1\" to \"%2\": %3")
                                         .arg(folder.data().toString(), text, systemError(reason));
    if (!problem.isEmpty()) {
        showError(QStringLiteral("Change FolderName"), problem);
        return {};
    }
    return m_model.renameNode(folder, name);
}

void FolderTreeActions::showError(const QString& title, const QString& text) const
{
    MessageBox::current().show(m_boxOwner, title, text, MessageBox::Buttons::Ok, MessageBox::Icon::Error);
}
