#pragma once

#include "foundation/Object.h"
#include "foundation/String.h"

// A folder path and the two things the log set-up asks of it: whether it is there, and making it
// together with every missing folder above it.
class Directory : public Object {
public:
    explicit Directory(const char* path)
        : m_path(path)
    {
    }

    const char* getPath() const { return m_path.getText(); }

    // True when the file system reports anything under the path.
    bool exists() const;
    // Creates the path and every missing folder above it. True when the final path was found or
    // created. False for the empty path, "." and "..", when a folder on the way cannot be made,
    // and for a path of WorkBufferSize bytes or more, for which nothing is created at all.
    bool createDirectories() const;

    // The next separator at or after text, or null at the terminator. A byte pair that forms a
    // Shift-JIS double-byte character is stepped over as a whole, so that its second byte is
    // never taken for a separator even when it has the separator's value; a lead byte right
    // before the terminator is a single byte, so the walk never passes the terminator.
    static const char* findSeparator(const char* text, char separator);

    static constexpr char Separator = '/';
    // The walk works on a copy of the path in a buffer of this many bytes, terminator included.
    static constexpr int WorkBufferSize = 260;

private:
    String m_path;
};
