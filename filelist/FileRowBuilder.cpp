#include "filelist/FileRowBuilder.h"

#include "classify/EncryptedFileFinder.h"
#include "platform/FolderEntries.h"
#include "platform/LocalFileTime.h"

#include <QFile>

#include <utility>

FileRowBuilder::FileRowBuilder(TraceSink trace)
    : m_trace(std::move(trace))
{
}

FileListRow FileRowBuilder::build(const platform::FolderEntry& entry, const QByteArray& fullPath)
{
    FileListRow row;
    row.name = QByteArray::fromStdString(entry.name);
    row.sizeText = sizeText(entry.size);
    row.modifiedText = modifiedText(entry.modified);
    FileTypeLookup::FileTypeInfo type = m_types.lookUp(QFile::decodeName(row.name));
    row.typeName = type.typeName;
    row.icon = type.icon;
    // Only the two kinds that the commands know are kept; whatever else the test might write
    // counts as unprotected.
    ProtectionKind kind = PROTECTION_NONE;
    EncryptedFileFinder(m_trace).isEncryptedFile(fullPath.constData(), kind);
    row.kind = kind == PROTECTION_IRM || kind == PROTECTION_PASSWORD ? kind : PROTECTION_NONE;
    row.protectionText = protectionText(row.kind);
    return row;
}

QString FileRowBuilder::sizeText(uint64_t size)
{
    return QString::number(size / 1024 + (size % 1024 != 0 ? 1 : 0));
}

QString FileRowBuilder::modifiedText(int64_t seconds)
{
    platform::LocalFileTime local = platform::LocalFileTime::of(seconds);
    return QString::asprintf(
        "%.4u/%.2u/%.2u %.2u:%.2u", local.year, local.month, local.day, local.hour, local.minute);
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
