#include "shell/FolderNameRules.h"

#include "platform/FileOperations.h"

#include <QFile>

namespace FolderNameRules {

QString problemWith(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("A folder name cannot be empty.");
    if (text.contains(u'/'))
        return QStringLiteral("A folder name cannot contain \"/\": \"%1\"").arg(text);
    if (text == u"." || text == u"..")
        return QStringLiteral("\"%1\" cannot be used as a folder name.").arg(text);
    if (static_cast<size_t>(QFile::encodeName(text).size()) > platform::fileOperations::maxNameLength)
        return QStringLiteral("The folder name is too long: at most %1 bytes are allowed.")
            .arg(platform::fileOperations::maxNameLength);
    return {};
}

}
