#include "office/libreoffice/UnoInteractionRecorder.h"

#include "office/libreoffice/UnoText.h"

#include <com/sun/star/task/ErrorCodeRequest.hpp>
#include <com/sun/star/task/PasswordRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionApprove.hpp>

#include <cstdio>

using namespace css;

namespace office {

void UnoInteractionRecorder::handle(const uno::Reference<task::XInteractionRequest>& request)
{
    uno::Any what = request->getRequest();
    std::string description;
    bool password = false;
    task::ErrorCodeRequest errorCode;
    task::PasswordRequest passwordRequest;
    if (what >>= passwordRequest) {
        password = true;
        description = "the document is protected by a password";
    } else if (what >>= errorCode) {
        char text[64];
        std::snprintf(text, sizeof text, "the document is damaged or incomplete (error 0x%X)",
            static_cast<unsigned>(errorCode.ErrCode));
        description = text;
    } else {
        description = "the office asked about " + toUtf8(what.getValueTypeName());
    }
    {
        std::lock_guard lock(m_mutex);
        if (m_refused.empty())
            m_refused = description;
        m_password = m_password || password;
    }
    for (const auto& continuation : request->getContinuations()) {
        uno::Reference<task::XInteractionAbort> abort(continuation, uno::UNO_QUERY);
        if (abort.is()) {
            abort->select();
            return;
        }
    }
}

std::string UnoInteractionRecorder::refusedRequest()
{
    std::lock_guard lock(m_mutex);
    return m_refused;
}

bool UnoInteractionRecorder::wasPassword()
{
    std::lock_guard lock(m_mutex);
    return m_password;
}

}
