// Publishing a PowerPoint presentation in the same shape as the Word publisher. Its codes sit in
// a range of their own: 302 no presentation, 303 saving failed, 1000 any other office failure,
// 1 the application could not be started.
#include "publishing/OfficeApplication.h"

#include "foundation/Log.h"
#include "publishing/DocumentPublisher.h"

namespace {

// Presentations are opened read-only, so PowerPoint is never asked about the recommendation; a
// presentation that cannot be closed after saving fails the publication, and a close that throws
// ends it as any other office failure does.
constexpr DocumentPublisher::Profile powerPointProfile = {
    .format = powerPointPublishFormat,
    .noFormat = "no PowerPoint format for this command",
    .notOpenedCode = 302,
    .readOnlyCode = 0,
    .saveFailedCode = 303,
    .readOnlyCheck = DocumentPublisher::ReadOnlyCheck::Skips,
    .closeThrow = DocumentPublisher::CloseThrow::PassesOn,
    .closeFailure = DocumentPublisher::CloseFailure::FailsPublication,
    .otherFailure = DocumentPublisher::OtherFailure::KeepsProvisionalCode,
    .startLine = "OfficeApplication#protectPowerPoint,1,Start %s",
    .notOpenedLine = "OfficeApplication#protectPowerPoint,8,Failed to open a presentation",
    .readOnlyLine = nullptr,
    .openedLine = nullptr,
    .savingLine = nullptr,
    .commandLine = nullptr,
    .saveLine = "OfficeApplication#protectPowerPoint,3,Save %s format =%d",
    .savedLine = "OfficeApplication#protectPowerPoint,4,Save: OK",
    .saveFailedLine = "OfficeApplication#protectPowerPoint,5,Save: Error",
    .saveExceptionLine = "OfficeApplication#protectPowerPoint,6,Exception No=%x Message=%s",
    .saveUnknownLine = "OfficeApplication#protectPowerPoint,7,Unknown Exception",
    .closeExceptionLine = nullptr,
    .closeUnknownLine = nullptr,
    .closedLine = nullptr,
    .closeFailedLine = "OfficeApplication#protectPowerPoint,9,Failed to close a presentation",
    .failureLine = "OfficeApplication#protectPowerPoint,10,Exception No=%x Message=%s",
};

}

int32_t OfficeApplication::protectPowerPoint(const char* path, int32_t command)
{
    std::shared_ptr<office::PowerPointPresentation> presentation;
    DocumentPublisher::Calls calls;
    calls.open = [&] {
        createPowerPointApplication();
        std::shared_ptr<office::PowerPointPresentations> presentations = m_powerPoint->presentations();
        logDebug("OfficeApplication#protectPowerPoint,2,Call Presentations->Open %s", path);
        // Opened read-only and without a window: the presentation is only read.
        presentation = presentations ? presentations->open(path, true, false, false) : nullptr;
        return presentation != nullptr;
    };
    calls.saveAs = [&](const std::string& output, int32_t formatCode) {
        return presentation->saveAs(output, formatCode);
    };
    calls.close = [&] { return presentation->close(); };
    return DocumentPublisher(powerPointProfile, std::move(calls)).publish(path, command);
}
