#include "shell/FolderTreePlaces.h"

#include "platform/FolderEntries.h"
#include "platform/MountTable.h"
#include "platform/ProcessAccount.h"

#include <QFile>
#include <QStandardPaths>

namespace {

QByteArray withoutTrailingSlash(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

QByteArray standardFolder(QStandardPaths::StandardLocation location)
{
    return withoutTrailingSlash(QFile::encodeName(QStandardPaths::writableLocation(location)));
}

bool isFolder(const QByteArray& path)
{
    auto entry = platform::FolderEntries::lookUp(path.toStdString());
    return entry && entry->isDirectory;
}

}

FolderTreePlaces FolderTreePlaces::ofThisUser()
{
    FolderTreePlaces places;
    places.home = standardFolder(QStandardPaths::HomeLocation);
    // Without a documents folder of its own the desktop names the home, which is listed already.
    QByteArray documents = standardFolder(QStandardPaths::DocumentsLocation);
    if (documents != places.home && isFolder(documents))
        places.documents = documents;
    if (auto account = platform::ProcessAccount::ownAccount()) {
        for (const platform::Mount& volume : platform::MountTable::current().userVolumes(*account))
            places.volumes.push_back(withoutTrailingSlash(QByteArray::fromStdString(volume.mountPoint)));
    }
    return places;
}
