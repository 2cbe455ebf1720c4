#include "filelist/FileRowBuilder.h"

#include "filelist/FolderReader.h"
#include "platform/LocalFileTime.h"

#include <QFile>

#include <algorithm>
#include <cstdio>

FileListRow FileRowBuilder::build(const FoundFile& file)
{
    FileListRow row;
    row.name = file.name;
    row.shownName = file.shownName;
    row.sortKey = file.sortKey;
    row.identity = ProtectionCache::keyOf(file.entry);
    row.sizeText = file.sizeText;
    row.modifiedText = file.modifiedText;
    FileTypeLookup::FileTypeInfo type = m_types.lookUp(file.shownName);
    row.typeName = type.typeName;
    row.icon = type.icon;
    if (file.kind)
        setProtection(row, *file.kind);
    else
        row.protectionKnown = false;
    return row;
}

void FileRowBuilder::setProtection(FileListRow& row, ProtectionKind kind)
{
    // Only the two kinds that the commands know are kept; whatever else counts as unprotected.
    row.kind = kind == PROTECTION_IRM || kind == PROTECTION_PASSWORD ? kind : PROTECTION_NONE;
    row.protectionText = protectionText(row.kind);
    row.protectionKnown = true;
}

QString FileRowBuilder::sizeText(uint64_t size)
{
    return QString::number(size / 1024 + (size % 1024 != 0 ? 1 : 0));
}

QString FileRowBuilder::modifiedText(int64_t seconds)
{
    platform::LocalFileTime local = platform::LocalFileTime::of(seconds);
    // "%.4u/%.2u/%.2u %.2u:%.2u", written out by hand: it is made for every file listed.
    char text[32];
    int length = std::snprintf(text, sizeof text, "%.4u/%.2u/%.2u %.2u:%.2u", local.year, local.month,
        local.day, local.hour, local.minute);
    return QString::fromLatin1(text, std::clamp(length, 0, static_cast<int>(sizeof text) - 1));
}

QString FileRowBuilder::protectionText(ProtectionKind kind)
{
    switch (kind) {
    case PROTECTION_IRM:
        return QStringLiteral("IRM");
    case PROTECTION_PASSWORD:
        return QStringLiteral("PWD");
    default:
        return QString();
    }
}
