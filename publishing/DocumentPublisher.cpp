#include "publishing/DocumentPublisher.h"

#include "foundation/Log.h"
#include "office/ComError.h"
#include "platform/FileOperations.h"

#include <utility>

namespace {

bool isWritten(const char* line)
{
    return line && *line;
}

// The lines of a profile are formats of their own; a profile leaves a line out by giving no text.
// log is logDebug or logError.
template <typename... Values>
void logLine(void (*log)(const char*, ...), const char* format, Values... values)
{
    if (!isWritten(format))
        return;
    // A line that carries no values is written as text, so that nothing in it is taken for a
    // format.
    if constexpr (sizeof...(Values) == 0)
        log("%s", format);
    else
        log(format, values...);
}

}

DocumentPublisher::DocumentPublisher(const Profile& profile, Calls calls)
    : m_profile(profile)
    , m_calls(std::move(calls))
{
}

int32_t DocumentPublisher::publish(const char* path, int32_t command)
{
    logLine(logDebug, m_profile.startLine, path);
    // The provisional code stands when the application cannot even be started.
    int32_t code = 1;
    try {
        if (!m_calls.open()) {
            logLine(logError, m_profile.notOpenedLine);
            return m_profile.notOpenedCode;
        }
        if (m_profile.readOnlyCheck == ReadOnlyCheck::Asks && m_calls.readOnlyRecommended()) {
            m_calls.close();
            logLine(logError, m_profile.readOnlyLine);
            return m_profile.readOnlyCode;
        }
        logLine(logDebug, m_profile.openedLine, path);
        logLine(logDebug, m_profile.savingLine);
        // A failure of the close that is not an office failure leaves the code of the save.
        code = save(path, command);
        code = closeAfterSaving(code);
    } catch (const office::ComError& error) {
        logLine(logError, m_profile.failureLine, static_cast<unsigned>(error.code()),
            error.errorMessage().c_str());
        code = 1000;
    } catch (...) {
        if (m_profile.otherFailure == OtherFailure::PassesOn)
            throw;
    }
    return code;
}

// The save step: 0 only when the office reported success and the output is really there.
int32_t DocumentPublisher::save(const char* path, int32_t command)
{
    try {
        PublishFormat format;
        if (!m_profile.format(command, format))
            throw office::ComError(office::hresult::invalidArgument, m_profile.noFormat);
        std::string output = std::string(path) + format.suffix;
        logLine(logDebug, m_profile.commandLine, command);
        logLine(logDebug, m_profile.saveLine, output.c_str(), format.formatCode);
        office::HResult status = m_calls.saveAs(output, format.formatCode);
        if (status == 0 && platform::fileOperations::exists(output)) {
            logLine(logDebug, m_profile.savedLine);
            return 0;
        }
        // Word's calls have shown the user a box for a failure status by now; here it is logged.
        logLine(logError, m_profile.saveFailedLine);
    } catch (const office::ComError& error) {
        logLine(logError, m_profile.saveExceptionLine, static_cast<unsigned>(error.code()),
            error.errorMessage().c_str());
    } catch (...) {
        logLine(logError, m_profile.saveUnknownLine);
    }
    return m_profile.saveFailedCode;
}

int32_t DocumentPublisher::closeAfterSaving(int32_t code)
{
    office::HResult status = 0;
    if (m_profile.closeThrow == CloseThrow::PassesOn) {
        status = m_calls.close();
    } else {
        try {
            status = m_calls.close();
        } catch (const office::ComError& error) {
            logLine(logError, m_profile.closeExceptionLine, static_cast<unsigned>(error.code()),
                error.errorMessage().c_str());
            return m_profile.saveFailedCode;
        } catch (...) {
            logLine(logError, m_profile.closeUnknownLine);
            return m_profile.saveFailedCode;
        }
    }
    if (status == 0) {
        logLine(logDebug, m_profile.closedLine);
        return code;
    }
    logLine(logError, m_profile.closeFailedLine);
    return m_profile.closeFailure == CloseFailure::FailsPublication ? m_profile.saveFailedCode : code;
}
