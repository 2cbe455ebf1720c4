#pragma once

#include "foundation/Object.h"
#include "foundation/String.h"

// A PDF file's encryption as its trailer declares it. All the work is done by the constructor,
// which throws an int code: -1002 null path, -1003 the file's attributes cannot be read,
// -1001 it cannot be opened, -1000 it does not start with "%PDF-".
class PDFFile : public Object {
public:
    explicit PDFFile(const char* path);

    bool isEncrypted() const { return m_encrypted; }

    static constexpr int TailSize = 1024;

private:
    String m_path;
    bool m_encrypted = false;
    // The file's last kilobyte, made into one text whose terminator is its last byte.
    char m_tail[TailSize] = {};
};
