#pragma once

#include "filelist/FileListModel.h"
#include "filelist/FileTypeLookup.h"

#include <QString>

#include <cstdint>

struct FoundFile;

// Makes the row of one file from what a reading of its folder found.
class FileRowBuilder {
public:
    FileListRow build(const FoundFile& file);

    // The size in kilobytes, a started kilobyte counting whole: 1025 bytes give "2".
    static QString sizeText(uint64_t size);
    // The time of the last write in the local time zone, as "2024/03/05 09:07".
    static QString modifiedText(int64_t seconds);
    static QString protectionText(ProtectionKind kind);
    // Gives the row its protection.
    static void setProtection(FileListRow& row, ProtectionKind kind);

private:
    FileTypeLookup m_types;
};
