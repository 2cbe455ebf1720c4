#pragma once

#include "filelist/FileListModel.h"
#include "filelist/FileTypeLookup.h"
#include "foundation/TraceSink.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace platform {
struct FolderEntry;
}

// Makes the row of one file from what the folder's listing said of it and from the protection
// test of its contents.
class FileRowBuilder {
public:
    // trace receives the line of every file whose protection cannot be read.
    explicit FileRowBuilder(TraceSink trace);

    // The row of entry, whose file is fullPath.
    FileListRow build(const platform::FolderEntry& entry, const QByteArray& fullPath);

    // The size in kilobytes, a started kilobyte counting whole: 1025 bytes give "2".
    static QString sizeText(uint64_t size);
    // The time of the last write in the local time zone, as "2024/03/05 09:07".
    static QString modifiedText(int64_t seconds);
    static QString protectionText(ProtectionKind kind);

private:
    FileTypeLookup m_types;
    TraceSink m_trace;
};
