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
const QString renameTitle = QStringLiteral("Change FolderName");
// More than enough for "New Folder (n)"; a folder holding them all is not worth waiting on.
constexpr int newFolderAttempts = 10000;

QString shown(const QByteArray& path)
{
    return QFile::decodeName(path);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool entryExists(const QByteArray& path)
{
    return platform::fileOperations::entryExists(path.toStdString());
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
        if (entryExists(path))
            continue;
        if (!platform::NativeDirectory::create(path.constData())) {
            // The reason is the one mkdir left; something made under this name meanwhile only
            // means the next name.
            int reason = errno;
            if (entryExists(path))
                continue;
            showError(createTitle,
                QStringLiteral("Cannot create the folder \"%1\" in \"%2\": %3")
                    .arg(shown(name), shown(folder), systemError(reason)));
            return {};
        }
        return m_model.childFolder(parent, name);
    }
    showError(createTitle,
        QStringLiteral("Cannot create a new folder in \"%1\": every name up to \"New Folder (%2)\" is taken.")
            .arg(shown(folder))
            .arg(newFolderAttempts));
    return {};
}

bool FolderTreeActions::trashFolder(const QModelIndex& folder)
{
    if (!isFolder(folder))
        return false;
    QByteArray path = m_model.pathOf(folder);
    MessageBox::Answer answer = MessageBox::current().show(m_boxOwner, deleteTitle,
        QStringLiteral("Move the folder \"%1\" and everything in it to the trash?").arg(shown(path)),
        MessageBox::Buttons::OkCancel, MessageBox::Icon::Question);
    if (answer != MessageBox::Answer::Ok)
        return false;
    if (int reason = platform::moveToTrash(path.constData()); reason != 0) {
        showError(deleteTitle,
            QStringLiteral("Cannot move the folder \"%1\" to the trash: %2")
                .arg(shown(path), systemError(reason)));
        return false;
    }
    m_model.removeNode(folder);
    return true;
}

QModelIndex FolderTreeActions::rename(const QModelIndex& folder, const QString& text)
{
    // An unchanged text is no rename; for a name that is not valid UTF-8 the shown text would
    // not even encode back to the same bytes.
    if (!isFolder(folder) || text == folder.data().toString())
        return {};
    QString problem = renameProblem(folder, text);
    QByteArray name = QFile::encodeName(text);
    QByteArray target = FolderTreeModel::childPath(m_model.pathOf(folder.parent()), name);
    int reason = 0;
    if (problem.isEmpty()
        && !platform::fileOperations::renameNoReplace(
            m_model.pathOf(folder).toStdString(), target.toStdString(), reason))
        problem = reason == EEXIST ? QStringLiteral("\"%1\" already exists. Choose another name.").arg(text)
                                   : QStringLiteral("Cannot rename \"%1\" to \"%2\": %3")
                                         .arg(folder.data().toString(), text, systemError(reason));
    if (!problem.isEmpty()) {
        showError(renameTitle, problem);
        return {};
    }
    return m_model.renameNode(folder, name);
}

QString FolderTreeActions::renameProblem(const QModelIndex& folder, const QString& text) const
{
    if (QString problem = FolderNameRules::problemWith(text); !problem.isEmpty())
        return problem;
    QByteArray parent = m_model.pathOf(folder.parent());
    if (entryExists(FolderTreeModel::childPath(parent, QFile::encodeName(text))))
        return QStringLiteral("\"%1\" already exists in \"%2\". Choose another name.")
            .arg(text, shown(parent));
    return {};
}

void FolderTreeActions::showError(const QString& title, const QString& text) const
{
    MessageBox::current().show(m_boxOwner, title, text, MessageBox::Buttons::Ok, MessageBox::Icon::Error);
}
