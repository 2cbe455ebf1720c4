#include "office/libreoffice/LibreOfficeAutomation.h"
#include "office/libreoffice/LibreOfficeInstallation.h"
#include "office/libreoffice/RunningLibreOffices.h"
#include "publishing/OfficeVersion.h"
#include "resources/ResourceIcons.h"
#include "shell/ProgramArguments.h"
#include "shell/StartUp.h"

#include <QApplication>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

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

std::vector<std::string> wordsOf(int argc, char** argv)
{
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::optional<std::string> requestedFolderOf(const ProgramArguments& arguments)
{
    if (arguments.request() != ProgramArguments::Request::Folder)
        return std::nullopt;
    return arguments.folder();
}

}

// pressling, the desktop program: the shell with the LibreOffice office suite behind every
// publishing job and the notifier window in front of it.
int main(int argc, char** argv)
{
    // The help and a mistaken command line are answered before any window, and where they can
    // be, before Qt needs a display.
    ProgramArguments arguments = ProgramArguments::parse(wordsOf(argc, argv));
    if (ProgramArguments::decidedBeforeToolkit(wordsOf(argc, argv))) {
        if (std::optional<int> code = arguments.answer(stdout, stderr))
            return *code;
    }
    QApplication application(argc, argv);
    arguments = ProgramArguments::parse(wordsOf(argc, argv));
    if (std::optional<int> code = arguments.answer(stdout, stderr))
        return *code;
    QApplication::setApplicationName(QStringLiteral("pressling"));
    QApplication::setWindowIcon(ResourceIcons::icon(130));
    OfficeVersion::setInstalledOffice(std::make_shared<office::LibreOfficeInstallation>());
    PublishingJobs::Factories factories;
    factories.automation = [] { return std::make_unique<office::LibreOfficeAutomation>(); };
    const std::optional<std::string> folder = requestedFolderOf(arguments);
    // The desktop program's trace lines (files that cannot be read, the geometry saved on close)
    // go to standard output.
    return WinMain(commandLineOf(argc, argv), office::RunningLibreOffices::list, [&factories, &folder] {
        return Sheetcast_Run(std::move(factories), TraceSink::writingTo(stdout), folder);
    });
}
