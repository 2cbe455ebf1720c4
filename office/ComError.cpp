#include "office/ComError.h"

#include <cstdio>
#include <utility>

namespace office {

namespace {

struct KnownMessage {
    HResult code;
    const char* text;
};

// The texts Windows reports for the codes this layer produces, so that logs read the same.
constexpr KnownMessage knownMessages[] = {
    { hresult::ok, "The operation completed successfully." },
    { hresult::notImplemented, "Not implemented" },
    { hresult::noInterface, "No such interface supported" },
    { hresult::pointer, "Invalid pointer" },
    { hresult::fail, "Unspecified error" },
    { hresult::unexpected, "Catastrophic failure" },
    { hresult::accessDenied, "Access is denied." },
    { hresult::outOfMemory, "Not enough memory resources are available to complete this operation." },
    { hresult::invalidArgument, "The parameter is incorrect." },
    { hresult::fileNotFound, "The system cannot find the file specified." },
    { hresult::parameterNotFound, "Parameter not found." },
    { hresult::exceptionOccurred, "Exception occurred." },
    { hresult::classNotRegistered, "Class not registered" },
    { hresult::invalidClassString, "Invalid class string" },
    { hresult::serverExecutionFailure, "Server execution failed" },
    { hresult::disconnected, "The object invoked has disconnected from its clients." },
    { hresult::serverFault, "The server threw an exception." },
    { hresult::callTimedOut, "This operation returned because the timeout period expired." },
    { hresult::serverUnavailable, "The RPC server is unavailable." },
};

std::string reportedText(const std::string& message, const std::string& description)
{
    return description.empty() ? message : message + " (" + description + ")";
}

}

ComError::ComError(HResult code, std::string description)
    : ComError(code, messageFor(code), std::move(description))
{
}

ComError::ComError(HResult code, std::string message, std::string description)
    : Exception(reportedText(message, description).c_str(), code)
    , m_message(std::move(message))
    , m_description(std::move(description))
{
}

std::string ComError::messageFor(HResult code)
{
    for (const auto& known : knownMessages) {
        if (known.code == code)
            return known.text;
    }
    char text[64];
    uint32_t value = static_cast<uint32_t>(code);
    if (value > 0x80040200u && value <= 0x8004FFFFu)
        std::snprintf(text, sizeof text, "IDispatch error #%d", static_cast<int>(value - 0x80040200u));
    else
        std::snprintf(text, sizeof text, "Unknown error 0x%0lX", static_cast<unsigned long>(value));
    return text;
}

}
