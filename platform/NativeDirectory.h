#pragma once

namespace platform {

// The two file-system questions that making a folder chain needs. Paths are byte strings and
// are passed through untouched.
class NativeDirectory {
public:
    // True when the file system reports anything (folder, file, device) under the path.
    static bool exists(const char* path);
    // Creates one folder with the default permissions (filtered by the umask); its parent must
    // exist. False when it could not be created, including when something is already there.
    static bool create(const char* path);
};

}
