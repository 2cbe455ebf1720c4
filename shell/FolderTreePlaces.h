#pragma once

#include <QByteArray>

#include <vector>

// The folders that the tree offers under its computer node besides the file system's root: where
// a user starts looking. Paths are byte strings without a trailing '/'.
struct FolderTreePlaces {
    QByteArray home;
    // Empty when the user has no documents folder of its own (none, or the home itself).
    QByteArray documents;
    // The mount points of the volumes the desktop shows this user, in the order they were mounted.
    std::vector<QByteArray> volumes;

    // The places of the user who runs the program: the home, the desktop's documents folder and
    // the mounted removable volumes.
    static FolderTreePlaces ofThisUser();
};
