#include "office/libreoffice/RunningLibreOffices.h"

#include "office/libreoffice/LibreOfficeCommandLine.h"
#include "office/libreoffice/LibreOfficeWindowClass.h"
#include "platform/RunningApplications.h"

namespace office {

std::optional<std::vector<OfficeInstance>> RunningLibreOffices::list()
{
    auto applications = platform::RunningApplications::list(
        LibreOfficeWindowClass::all(), LibreOfficeCommandLine::shownTitle);
    if (!applications)
        return std::nullopt;
    std::vector<OfficeInstance> offices;
    for (platform::OpenApplication& application : *applications)
        offices.push_back(
            { std::move(application.title), LibreOfficeWindowClass::extensionOf(application.className),
                application.pid, std::move(application.account), std::move(application.domain) });
    return offices;
}

}
