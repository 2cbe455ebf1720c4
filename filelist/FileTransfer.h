#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>

namespace platform {
class ReadOnlyFile;
}

// What a paste and a drop share for each file they bring into the list's folder.

// The current folder followed by the source's own name: the source's folder is dropped.
std::string destinationOf(const QByteArray& currentFolder, const std::string& source);

// A drop takes Office documents and XPS documents only, judged by the end of the name.
bool isTakenByDrop(const std::string& path);

// XListView_PrepareFileCopy's answers.
namespace PreparedCopy {
inline constexpr int32_t Refused = 0;
// Nothing is in the way: the copy makes a new file, which needs a row.
inline constexpr int32_t NewFile = 1;
// The user agreed to replace the file there; its row exists already.
inline constexpr int32_t Replace = 2;
}

// Copies the open source to destination as prepared: a new file never replaces anything, and a
// replaced file stays whole until the complete copy takes its place. False, with an error line
// written and destination as it was, when the copy fails.
bool copyToDestination(const platform::ReadOnlyFile& source, const std::string& destination, int32_t prepared,
    const char* caller);
