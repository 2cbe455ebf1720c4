#pragma once

#include "office/HResult.h"
#include "publishing/PublishFormat.h"

#include <cstdint>
#include <functional>
#include <string>

// The one way a document is published, whichever application it belongs to: the application
// opens it, a document that asks to be opened read-only is refused, a copy is saved beside it in
// the target format and the document is closed again. What differs between Word, Excel and
// PowerPoint (the calls into the application, its format table, its log lines and its result
// codes) is handed in.
class DocumentPublisher {
public:
    // Whether the application is asked if the document recommends read-only opening; a
    // document that does is closed again and refused.
    enum class ReadOnlyCheck { Asks, Skips };
    // What happens when the close after saving throws: the publication fails there and then
    // with the save's failure code, or the failure passes on to the guard around the whole
    // publication like any other office failure.
    enum class CloseThrow { FailsPublication, PassesOn };
    // What happens when a close after saving reports a failure status.
    enum class CloseFailure { KeepsCode, FailsPublication };
    // What happens to a failure that is neither an office failure nor a close failure (such as an
    // application that cannot be started).
    enum class OtherFailure { PassesOn, KeepsProvisionalCode };

    // Every choice of a profile is one of its enums; the texts only say what is logged. A text is
    // the printf format of a log line, and a null or empty one means that no line is written.
    struct Profile {
        bool (*format)(int32_t command, PublishFormat& out);
        // The description of the failure for a command that has no format in this application.
        const char* noFormat;
        int32_t notOpenedCode;
        // Not used when the read-only check is skipped.
        int32_t readOnlyCode;
        int32_t saveFailedCode;
        ReadOnlyCheck readOnlyCheck;
        CloseThrow closeThrow;
        CloseFailure closeFailure;
        OtherFailure otherFailure;
        // Receives the document's path.
        const char* startLine;
        const char* notOpenedLine;
        const char* readOnlyLine;
        // Receives the document's path.
        const char* openedLine;
        const char* savingLine;
        // Receives the publish command.
        const char* commandLine;
        // Receives the output's name and the format code; a line may leave the code out.
        const char* saveLine;
        const char* savedLine;
        const char* saveFailedLine;
        // These two receive the result code and the system's text of an office failure.
        const char* saveExceptionLine;
        const char* saveUnknownLine;
        // These two are written when a close that throws fails the publication.
        const char* closeExceptionLine;
        const char* closeUnknownLine;
        const char* closedLine;
        const char* closeFailedLine;
        // Receives the result code and the system's text of an office failure.
        const char* failureLine;
    };

    // The calls into one application for one document. open starts the application when needed
    // and opens the document, false when it gives none back; the others act on that document.
    // readOnlyRecommended may be empty when the profile skips the read-only check.
    struct Calls {
        std::function<bool()> open;
        std::function<bool()> readOnlyRecommended;
        std::function<office::HResult(const std::string& output, int32_t formatCode)> saveAs;
        std::function<office::HResult()> close;
    };

    DocumentPublisher(const Profile& profile, Calls calls);

    // 0 when the output was written, else the profile's code for the step that failed, 1000 for
    // any other office failure.
    int32_t publish(const char* path, int32_t command);

private:
    int32_t save(const char* path, int32_t command);
    int32_t closeAfterSaving(int32_t code);

    const Profile& m_profile;
    Calls m_calls;
};
