#pragma once

#include <string>
#include <vector>

class QMimeData;

// The data that carries files between programs of the desktop, on the clipboard and in a drag:
// what GNOME Files, Dolphin, Thunar and PCManFM put there and read back.
class ShellDataObject {
public:
    // The files' formats: "text/uri-list", "x-special/gnome-copied-files" (always a copy) and
    // their paths as plain text, one per line. The caller owns the result.
    static QMimeData* create(const std::vector<std::string>& paths);

    // True when data offers a list of files in any format that files() reads.
    static bool hasFiles(const QMimeData* data);
    // The local files that data names, in its order, from the first format that it offers of
    // "text/uri-list", "x-special/gnome-copied-files" and KDE's "application/x-kde4-urilist".
    // URIs that are not local files are left out.
    static std::vector<std::string> files(const QMimeData* data);
};
