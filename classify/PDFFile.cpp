#include "classify/PDFFile.h"

#include "platform/FileOperations.h"
#include "platform/ReadOnlyFile.h"

#include <cstring>

PDFFile::PDFFile(const char* path)
{
    if (!path)
        throw -1002;
    m_path.assign(path);
    // Opened before the attributes are looked at, which only tells the two failures apart.
    platform::ReadOnlyFile file(path);
    if (!file.isOpen())
        throw platform::fileOperations::exists(path) ? -1001 : -1003;
    uint64_t length = file.size();

    char header[5];
    if (file.readAt(0, header, sizeof(header)) != sizeof(header) || std::memcmp(header, "%PDF-", 5) != 0)
        throw -1000;

    // The encryption dictionary is named in the trailer, which sits in the file's last kilobyte.
    uint64_t tailLength = length < TailSize ? length : TailSize;
    file.readAt(length - tailLength, m_tail, TailSize);
    for (int i = 0; i < TailSize - 1; ++i) {
        if (m_tail[i] == '\0')
            m_tail[i] = ' ';
    }
    m_tail[TailSize - 1] = '\0';
    m_encrypted = std::strstr(m_tail, "/Encrypt") != nullptr;
}
