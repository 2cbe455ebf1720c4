// Publishing a PowerPoint presentation in the same shape as the Word publisher. Its codes sit in
// a range of their own: 302 no presentation, 303 saving failed, 1000 any other office failure,
// 1 the application could not be started.
#include "publishing/OfficeApplication.h"

#include "foundation/Log.h"
#include "platform/FileOperations.h"
#include "office/ComError.h"
#include "publishing/PublishFormat.h"

#include <string>

namespace {

int32_t savePresentation(office::PowerPointPresentation& presentation, const char* path, int32_t command)
{
    try {
        PublishFormat format;
        if (!powerPointPublishFormat(command, format))
            throw office::ComError(
                office::hresult::invalidArgument, "no PowerPoint format for this command");
        std::string output = std::string(path) + format.suffix;
        logDebug(
            "OfficeApplication#protectPowerPoint,3,Save %s format =%d", output.c_str(), format.formatCode);
        office::HResult status = presentation.saveAs(output, format.formatCode);
        if (status == 0 && platform::fileOperations::exists(output)) {
            logDebug("OfficeApplication#protectPowerPoint,4,Save: OK");
            return 0;
        }
        logError("OfficeApplication#protectPowerPoint,5,Save: Error");
    } catch (const office::ComError& error) {
        logError("OfficeApplication#protectPowerPoint,6,Exception No=%x Message=%s",
            static_cast<unsigned>(error.code()), error.errorMessage().c_str());
    } catch (...) {
        logError("OfficeApplication#protectPowerPoint,7,Unknown Exception");
    }
    return 303;
}

}

int32_t OfficeApplication::protectPowerPoint(const char* path, int32_t command)
{
    logDebug("OfficeApplication#protectPowerPoint,1,Start %s", path);
    int32_t code = 1;
    try {
        createPowerPointApplication(path);
        std::shared_ptr<office::PowerPointPresentations> presentations = m_powerPoint->presentations();
        logDebug("OfficeApplication#protectPowerPoint,2,Call Presentations->Open %s", path);
        // Opened read-only and without a window: the presentation is only read.
        std::shared_ptr<office::PowerPointPresentation> presentation
            = presentations ? presentations->open(path, true, false, false) : nullptr;
        if (!presentation) {
            logError("OfficeApplication#protectPowerPoint,8,Failed to open a presentation");
            return 302;
        }
        code = savePresentation(*presentation, path, command);
        if (presentation->close() != 0) {
            logError("OfficeApplication#protectPowerPoint,9,Failed to close a presentation");
            code = 303;
        }
    } catch (const office::ComError& error) {
        logError("OfficeApplication#protectPowerPoint,10,Exception No=%x Message=%s",
            static_cast<unsigned>(error.code()), error.errorMessage().c_str());
        code = 1000;
    } catch (...) {
        // PowerPoint could not be started: the provisional code stands.
    }
    return code;
}
