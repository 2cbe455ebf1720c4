#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The file lists that programs of the desktop exchange through the clipboard and by drag and
// drop. Paths are bytes, as the file system has them: a name that is not UTF-8 travels
// percent-encoded and comes back as the same bytes.
namespace fileUriList {

// "text/uri-list" (RFC 2483): one file:// URI per absolute path, each line ended by CRLF.
std::string uriList(const std::vector<std::string>& paths);
// "x-special/gnome-copied-files", as GNOME Files and its peers put a copy on the clipboard:
// "copy", then one URI per line, separated by a line feed.
std::string gnomeCopiedFiles(const std::vector<std::string>& paths);

// The local files that a "text/uri-list" (or KDE's list of the same form) names, in order.
// Lines that are comments, URIs that are malformed, relative, of another scheme or of another
// host are left out; so is anything after a NUL byte.
std::vector<std::string> localPathsOfUriList(std::string_view bytes);
// The local files of an "x-special/gnome-copied-files": its first line says "copy" or "cut",
// each further line is a URI. A cut is read as a list like a copy; what the reader does with the
// files is its own decision.
std::vector<std::string> localPathsOfGnomeCopiedFiles(std::string_view bytes);

}

}
