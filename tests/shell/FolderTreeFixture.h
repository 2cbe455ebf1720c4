#pragma once

#include "shell/FolderTreeModel.h"
#include "tests/support/TemporaryFolder.h"

#include <QByteArray>
#include <QModelIndex>

#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>
#include <string>

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// A home with a documents folder inside it, made of real folders in a temporary folder, and the
// tree's model over them: tests build the folders they need and look at the nodes.
class FolderTreeFixture {
public:
    // The model reads the folders that are opened with lister, the file system's own when empty.
    explicit FolderTreeFixture(FolderTreeModel::SubFolderLister lister = {});

    QByteArray home() const { return QByteArray::fromStdString(m_folder.path() + "/home"); }
    QByteArray documents() const { return home() + "/Documents"; }
    // Makes the folder (with its parents) at relative, under the home, and returns its path.
    QByteArray makeFolder(const std::string& relative) const;
    FolderTreeModel& model() { return *m_model; }
    // The place's node: 0 home, 1 documents, 2 the file system.
    QModelIndex place(int row) const;
    // The node's children as they are shown, after loading them: a listing on its way is waited
    // for, serving the GUI thread's events.
    QStringList childLabels(const QModelIndex& parent);

private:
    TemporaryFolder m_folder;
    std::unique_ptr<FolderTreeModel> m_model;
};

// The trash of the shell's tests, in the test desktop's data folder.
std::string shellTestTrash();

// Takes the privileges away that let root read and write any folder, for the calling thread
// while it lives, so that permissions bite as they do for a user.
class UserPermissions {
public:
    UserPermissions();
    UserPermissions(const UserPermissions&) = delete;
    UserPermissions& operator=(const UserPermissions&) = delete;
    ~UserPermissions();

private:
    unsigned m_previous;
};
