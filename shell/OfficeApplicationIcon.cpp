#include "shell/OfficeApplicationIcon.h"

#include "foundation/ClassesRootRegistry.h"
#include "foundation/String.h"
#include "foundation/StringTokenizer.h"
#include "platform/DesktopApplications.h"

#include <QFileInfo>

std::string OfficeApplicationIcon::lookUp(const std::string& documentExtension)
{
    std::string type;
    std::string program = registeredProgram(documentExtension, type);
    if (program.empty())
        return {};
    if (auto icon = platform::applicationIcon(type, program))
        return *icon;
    // Themes name a program's icon after the program, which is the best guess left.
    return QFileInfo(QString::fromStdString(program)).fileName().toStdString();
}

QIcon OfficeApplicationIcon::load(const std::string& icon)
{
    if (icon.empty())
        return {};
    QString name = QString::fromStdString(icon);
    if (QFileInfo(name).isAbsolute())
        return QIcon(name);
    return QIcon::fromTheme(name, QIcon::fromTheme(QStringLiteral("application-x-executable")));
}

// The first word of the open command of the extension's file type: the program that opens such
// documents. Empty when either registration is missing.
std::string OfficeApplicationIcon::registeredProgram(const std::string& extension, std::string& type)
{
    if (extension.empty())
        return {};
    ClassesRootRegistry registry;
    String fileType;
    if (!registry.getString(extension.c_str(), "", fileType))
        return {};
    std::string commandKey = std::string(fileType.getText()) + "\\shell\\open\\command";
    String command;
    if (!registry.getString(commandKey.c_str(), "", command))
        return {};
    String program;
    if (!StringTokenizer(command.getText()).getToken(program) || program.isNull())
        return {};
    type = fileType.getText();
    return program.getText();
}
