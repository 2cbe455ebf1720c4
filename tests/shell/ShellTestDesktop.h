#pragma once

#include "tests/support/TestDesktop.h"

#include <QIcon>

// The one test desktop of the shell's tests: the office suite's word processor, spreadsheet and
// presentation entries open the classic binary formats, one program under three names, each
// entry with an icon of the system's theme. The offscreen platform knows no icon theme, so the
// one that Qt's platform theme picks on a plain X display is set here.
inline const TestDesktop& shellTestDesktop()
{
    const TestDesktop& desktop = TestDesktop::install({
        {},
        {
            { "pressling-office-writer", "libreoffice --writer %U", "application/msword", true,
                "libreoffice-writer" },
            { "pressling-office-calc", "libreoffice --calc %U", "application/vnd.ms-excel", true,
                "libreoffice-calc" },
            { "pressling-office-impress", "libreoffice --impress %U", "application/vnd.ms-powerpoint", true,
                "libreoffice-impress" },
        },
    });
    if (QIcon::themeName().isEmpty()) {
        QIcon::setThemeSearchPaths({ QStringLiteral("/usr/share/icons") });
        QIcon::setThemeName(QStringLiteral("hicolor"));
    }
    return desktop;
}
