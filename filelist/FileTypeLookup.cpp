#include "filelist/FileTypeLookup.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

// The theme that the installation brings along.
const QString InstalledIconTheme = QStringLiteral("Adwaita");
// The freedesktop base theme that every theme inherits from; it draws no file types.
const QString BaseIconTheme = QStringLiteral("hicolor");

// An installed theme that draws file types: the installation's own, else the first other one
// whose folders hold type icons; empty when there is none.
QString installedThemeWithTypeIcons(const QStringList& searchPaths)
{
    auto drawsTypes = [](const QString& folder, const QString& theme) {
        QFile index(folder + QLatin1Char('/') + theme + QStringLiteral("/index.theme"));
        return index.open(QIODevice::ReadOnly) && index.readAll().contains("mimetypes");
    };
    // The installation's own theme is looked for first, so that the others' indexes are read
    // only where it is missing.
    for (const QString& folder : searchPaths) {
        if (drawsTypes(folder, InstalledIconTheme))
            return InstalledIconTheme;
    }
    for (const QString& folder : searchPaths) {
        for (const QString& theme : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (theme != BaseIconTheme && drawsTypes(folder, theme))
                return theme;
        }
    }
    return QString();
}

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
    // A platform without a desktop behind it (offscreen, minimal) looks for themes only among the
    // program's resources, so that no file would get an icon; the installed themes are added.
    QStringList searchPaths = QIcon::themeSearchPaths();
    const QStringList installed = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    bool changed = false;
    for (const QString& folder : installed) {
        if (!searchPaths.contains(folder)) {
            searchPaths.append(folder);
            changed = true;
        }
    }
    // Without a desktop environment to choose a theme, Qt names the base theme (xcb) or none
    // (offscreen, minimal), and falls back on the base theme too: no file type would get an icon.
    // The base theme is then given an installed theme that draws them to fall back on; a
    // desktop's own choice is left as it is.
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(BaseIconTheme);
    const QString fallback = QIcon::fallbackThemeName();
    if (QIcon::themeName() == BaseIconTheme && (fallback.isEmpty() || fallback == BaseIconTheme)) {
        QIcon::setFallbackThemeName(installedThemeWithTypeIcons(searchPaths));
        changed = true;
    }
    // Setting the search paths also makes Qt read its themes again: one it has read already
    // would keep falling back on the base theme.
    if (changed)
        QIcon::setThemeSearchPaths(searchPaths);
}
