#include "filelist/FileTypeLookup.h"

#include <QIcon>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Catches rows without icons on a plain X display: with no desktop environment the xcb platform
// names the base theme "hicolor", which draws no file types, and has read it by the time the list
// is made. A document and a folder must still get the icon of an installed theme that has one.
TEST(FileTypeLookup, TypesGetAnInstalledThemesIconWhereOnlyTheBaseThemeIsNamed)
{
    const QString theme = QIcon::themeName();
    const QString fallback = QIcon::fallbackThemeName();
    const QStringList searchPaths = QIcon::themeSearchPaths();
    QIcon::setThemeSearchPaths(QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                   QStringLiteral("icons"), QStandardPaths::LocateDirectory)
        << QStringLiteral(":/icons"));
    QIcon::setThemeName(QStringLiteral("hicolor"));
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
    QIcon::fromTheme(QStringLiteral("folder"));

    FileTypeLookup types;
    const bool document = !types.lookUp(QStringLiteral("report.docx")).icon.isNull();
    const bool folder = !types.lookUp(QStringLiteral("Projects/")).icon.isNull();
    QIcon::setThemeName(theme);
    QIcon::setFallbackThemeName(fallback);
    QIcon::setThemeSearchPaths(searchPaths);
    EXPECT_TRUE(document && folder);
}
