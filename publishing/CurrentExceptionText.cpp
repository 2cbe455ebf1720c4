#include "publishing/CurrentExceptionText.h"

#include "foundation/Exception.h"
#include "office/ComError.h"

#include <cstdio>
#include <exception>

CurrentExceptionText::CurrentExceptionText() noexcept
{
    try {
        throw;
    } catch (const office::ComError& error) {
        // An office failure is an Exception too, so it must be asked first to show its code.
        std::snprintf(m_text, sizeof m_text, "hr=%x %s", static_cast<unsigned>(error.code()),
            error.errorMessage().c_str());
    } catch (const Exception& error) {
        std::snprintf(m_text, sizeof m_text, "code=%d %s", error.getErrorCode(),
            error.getMessage() ? error.getMessage() : "");
    } catch (const std::exception& error) {
        std::snprintf(m_text, sizeof m_text, "%s", error.what());
    } catch (...) {
        std::snprintf(m_text, sizeof m_text, "an exception of unknown type");
    }
}
