#include "filelist/RenameRules.h"

namespace RenameRules {

namespace {

const char* const knownExtensions[] = { ".doc", ".docx", ".docm", ".ppt", ".pptx", ".pptm", ".pps", ".ppsx",
    ".ppsm", ".xls", ".xlsx", ".xlsm", ".xlsb", ".xps", ".pdf", ".html", ".htm", ".mhtml", ".txt", ".csv" };

const QString forbiddenCharacters = QStringLiteral("\\/:*?\"<>|");

}

QString extensionOf(const QString& name)
{
    QString found = QStringLiteral(".doc");
    for (const char* extension : knownExtensions) {
        if (name.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            found = QLatin1String(extension);
    }
    return found;
}

bool keepsExtension(const QString& oldName, const QString& newName)
{
    return newName.endsWith(extensionOf(oldName), Qt::CaseInsensitive);
}

bool hasForbiddenCharacter(const QString& name)
{
    for (QChar character : name) {
        if (forbiddenCharacters.contains(character))
            return true;
    }
    return false;
}

}
