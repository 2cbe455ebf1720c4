#include "filelist/FileTypeLookup.h"

#include <QStandardPaths>

namespace {

// The theme that the installation brings along, taken when the desktop names none.
const QString FallbackIconTheme = QStringLiteral("Adwaita");
// The freedesktop base theme that every theme inherits from.
const QString BaseIconTheme = QStringLiteral("hicolor");

}

FileTypeLookup::FileTypeLookup()
{
    useInstalledIconThemes();
}

FileTypeLookup::FileTypeInfo FileTypeLookup::lookUp(const QString& fileName)
{
    QMimeType type = m_database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    auto found = m_byType.constFind(type.name());
    if (found != m_byType.constEnd())
        return found.value();
    FileTypeInfo info { type.comment(), iconOf(type) };
    m_byType.insert(type.name(), info);
    return info;
}

QIcon FileTypeLookup::iconOf(const QMimeType& type)
{
    // Themes rarely draw every type; the generic icon of the type's family stands in for the rest.
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    return icon;
}

void FileTypeLookup::useInstalledIconThemes()
{
    // A platform without a desktop behind it (offscreen, minimal) names no icon theme and looks
    // for themes only among the program's resources, so that no file would get an icon. Such a
    // platform is given the installed themes; a desktop's own choice is left as it is.
    if (!QIcon::themeName().isEmpty())
        return;
    QStringList searchPaths = QIcon::themeSearchPaths();
    const QStringList installed = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    for (const QString& folder : installed) {
        if (!searchPaths.contains(folder))
            searchPaths.append(folder);
    }
    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(BaseIconTheme);
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == BaseIconTheme)
        QIcon::setFallbackThemeName(FallbackIconTheme);
}
