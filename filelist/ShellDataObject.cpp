#include "filelist/ShellDataObject.h"

#include "platform/FileUriList.h"

#include <QFile>
#include <QMimeData>
#include <QStringList>

namespace {

const QString uriListFormat = QStringLiteral("text/uri-list");
const QString gnomeFormat = QStringLiteral("x-special/gnome-copied-files");
const QString kdeFormat = QStringLiteral("application/x-kde4-urilist");

std::string bytesOf(const QMimeData* data, const QString& format)
{
    QByteArray bytes = data->data(format);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QByteArray toByteArray(const std::string& bytes)
{
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}

QMimeData* ShellDataObject::create(const std::vector<std::string>& paths)
{
    auto* data = new QMimeData;
    // The URI list is set as the bytes we made, not through QUrl, which would first turn every
    // name into text and so lose the bytes of a name that is not UTF-8.
    data->setData(uriListFormat, toByteArray(platform::fileUriList::uriList(paths)));
    data->setData(gnomeFormat, toByteArray(platform::fileUriList::gnomeCopiedFiles(paths)));
    QStringList lines;
    for (const std::string& path : paths)
        lines << QFile::decodeName(QByteArray::fromStdString(path));
    data->setText(lines.join(QLatin1Char('\n')));
    return data;
}

bool ShellDataObject::hasFiles(const QMimeData* data)
{
    return data
        && (data->hasFormat(uriListFormat) || data->hasFormat(gnomeFormat) || data->hasFormat(kdeFormat));
}

std::vector<std::string> ShellDataObject::files(const QMimeData* data)
{
    if (!data)
        return {};
    if (data->hasFormat(uriListFormat))
        return platform::fileUriList::localPathsOfUriList(bytesOf(data, uriListFormat));
    if (data->hasFormat(gnomeFormat))
        return platform::fileUriList::localPathsOfGnomeCopiedFiles(bytesOf(data, gnomeFormat));
    if (data->hasFormat(kdeFormat))
        return platform::fileUriList::localPathsOfUriList(bytesOf(data, kdeFormat));
    return {};
}
