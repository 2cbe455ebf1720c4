#include "publishing/FailSafeNotifier.h"

#include "foundation/Log.h"
#include "publishing/CurrentExceptionText.h"

namespace {

const char* textOf(const char* text)
{
    return text ? text : "";
}

}

FailSafeNotifier::FailSafeNotifier(const Factory& factory) noexcept
{
    try {
        if (factory)
            m_notifier = factory();
    } catch (...) {
        logError("FailSafeNotifier#FailSafeNotifier,1,Failed to make the notifier: %s",
            CurrentExceptionText().get());
    }
    if (!m_notifier)
        logError("FailSafeNotifier#FailSafeNotifier,2,No notifier, the job reports to the log");
}

FailSafeNotifier::~FailSafeNotifier() = default;

template <typename Call> bool FailSafeNotifier::forward(const char* operation, const Call& call) noexcept
{
    if (!m_notifier)
        return false;
    try {
        call(*m_notifier);
        return true;
    } catch (...) {
        logError("FailSafeNotifier#%s,1,The notifier failed, the job reports to the log: %s", operation,
            CurrentExceptionText().get());
    }
    // A notifier that has thrown once is not trusted with another call; letting it go also takes
    // its window away.
    m_notifier.reset();
    return false;
}

void FailSafeNotifier::create(std::function<void()> cancel)
{
    forward("create", [&](PublishingNotifier& notifier) { notifier.create(std::move(cancel)); });
}

void FailSafeNotifier::showProgress(const char* text)
{
    if (!forward("showProgress", [&](PublishingNotifier& notifier) { notifier.showProgress(text); }) && text)
        logDebug("FailSafeNotifier#showProgress,2,%s", text);
}

void FailSafeNotifier::addResult(const char* path, const char* resultText, int32_t successMark)
{
    if (!forward("addResult",
            [&](PublishingNotifier& notifier) { notifier.addResult(path, resultText, successMark); }))
        logError("FailSafeNotifier#addResult,2,%s %s", textOf(resultText), textOf(path));
}

// The code is in the log already (the publishers write their reasons there), so a failed
// notifier loses nothing here.
void FailSafeNotifier::noteResultCode(const char* path, int32_t code)
{
    forward("noteResultCode", [&](PublishingNotifier& notifier) { notifier.noteResultCode(path, code); });
}

void FailSafeNotifier::showSummary(const char* text)
{
    if (!forward("showSummary", [&](PublishingNotifier& notifier) { notifier.showSummary(text); }))
        logError("FailSafeNotifier#showSummary,2,%s", textOf(text));
}

void FailSafeNotifier::showMessage(const char* caption, const char* text)
{
    if (!forward("showMessage", [&](PublishingNotifier& notifier) { notifier.showMessage(caption, text); }))
        logError("FailSafeNotifier#showMessage,2,%s: %s", textOf(caption), textOf(text));
}

// The log has nothing to close: without a notifier the job does not wait.
void FailSafeNotifier::waitForClose()
{
    forward("waitForClose", [](PublishingNotifier& notifier) { notifier.waitForClose(); });
}

void FailSafeNotifier::hide()
{
    forward("hide", [](PublishingNotifier& notifier) { notifier.hide(); });
}

void FailSafeNotifier::destroyWindow()
{
    forward("destroyWindow", [](PublishingNotifier& notifier) { notifier.destroyWindow(); });
}
