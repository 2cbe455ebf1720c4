#include "office/libreoffice/LibreOfficeAutomation.h"
#include "resources/ResourceIcons.h"
#include "shell/StartUp.h"

#include <QApplication>

#include <string>

namespace {

std::string commandLineOf(int argc, char** argv)
{
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (i > 0)
            line += ' ';
        line += argv[i];
    }
    return line;
}

}

// pressling, the desktop program: the shell with the LibreOffice office suite behind every
// publishing job and the notifier window in front of it.
int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pressling"));
    QApplication::setWindowIcon(ResourceIcons::icon(130));
    FileListView::JobFactories factories;
    factories.automation = [] { return std::make_unique<office::LibreOfficeAutomation>(); };
    return WinMain(commandLineOf(argc, argv), [&factories] { return Sheetcast_Run(std::move(factories)); });
}
