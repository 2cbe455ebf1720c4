#pragma once

#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

#include <mutex>
#include <string>

namespace office {

// The interaction handler passed with every load. Nobody can answer a question in an unattended
// office: every request (a password, a repair, a warning that the file is damaged) is refused
// and remembered, so that the load fails with the office's own reason instead of hanging or
// quietly giving back half a document.
class UnoInteractionRecorder : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
public:
    void SAL_CALL handle(const css::uno::Reference<css::task::XInteractionRequest>& request) override;

    // Empty when the office asked nothing; otherwise what it asked about first.
    std::string refusedRequest();
    bool wasPassword();

private:
    std::mutex m_mutex;
    std::string m_refused;
    bool m_password = false;
};

}
