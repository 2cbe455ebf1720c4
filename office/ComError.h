#pragma once

#include "foundation/Exception.h"
#include "office/HResult.h"

#include <exception>
#include <string>

namespace office {

// The failure of one automation call: its result code and the texts that describe it. Callers
// log code() and errorMessage() the way the Windows error type reports them; description()
// carries what the office suite itself said, when it said anything. It belongs to the library's
// exception family, so a handler for Exception sees it too: getErrorCode() is the result code
// and getMessage() the system text followed by the description. It stays a standard exception as
// well, so that handlers and test frameworks that know only those still see its text.
class ComError : public Exception, public std::exception {
public:
    explicit ComError(HResult code, std::string description = {});

    HResult code() const { return getErrorCode(); }
    // The system's text for the code, or the generic fallback text when it has none.
    const std::string& errorMessage() const { return m_message; }
    const std::string& description() const { return m_description; }
    const char* what() const noexcept override { return getMessage(); }

    // The text reported for a code: a known system text without a line end, else
    // "IDispatch error #N" for the dispatch range and "Unknown error 0xN" for the rest.
    static std::string messageFor(HResult code);

private:
    ComError(HResult code, std::string message, std::string description);

    std::string m_message;
    std::string m_description;
};

}
