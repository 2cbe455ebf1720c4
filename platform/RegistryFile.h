#pragma once

#include <string>

namespace platform {

// The file operations under the registry store: whole-file reads and atomic replacement.
namespace RegistryFile {

enum class ReadResult { Read, Missing, Failed };

// Files larger than this are not store files; reading one fails rather than filling memory.
constexpr size_t maximumSize = 64 * 1024 * 1024;

ReadResult read(const std::string& path, std::string& bytes);
// Writes a temporary file in the same folder, flushes it to disk and renames it over path, then
// flushes the folder, so that readers see the old or the new file and never a part of one.
bool replace(const std::string& path, const std::string& bytes);
// Keeps bytes as "PATH.corrupt-YYYYmmddTHHMMSS" (with "-2", "-3"... when that name is taken);
// never replaces an existing file.
bool keepCorrupt(const std::string& path, const std::string& bytes);
bool createFolders(const std::string& folder);
std::string folderOf(const std::string& path);

}

}
