#pragma once

#include <QIcon>

#include <string>

// The icon of an office application's row: that of the program registered under
// HKEY_CLASSES_ROOT for the application's document extension.
class OfficeApplicationIcon {
public:
    // On any thread. The desktop's icon for the registered program: a theme icon name or an image
    // file path; the program's own name when the desktop has no icon for it; empty when the
    // extension has no type or the type no open command.
    static std::string lookUp(const std::string& documentExtension);
    // On the GUI thread. The icon that lookUp named, the theme's generic program icon when the
    // theme lacks that one, and no icon for an empty name.
    static QIcon load(const std::string& icon);

private:
    static std::string registeredProgram(const std::string& extension, std::string& type);
};
