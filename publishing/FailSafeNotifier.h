#pragma once

#include "publishing/PublishingNotifier.h"

#include <functional>
#include <memory>

// The job's notifier, kept from taking the job down with it: while the notifier that the job was
// given works, every call goes to it; once it cannot be made, or one of its calls throws, it is
// let go, and what it would have shown goes to the log instead, so that the job still ends
// properly. Nothing here throws.
class FailSafeNotifier final : public PublishingNotifier {
public:
    using Factory = std::function<std::unique_ptr<PublishingNotifier>()>;

    // Makes the notifier with factory; a factory that throws or gives nothing leaves the log.
    explicit FailSafeNotifier(const Factory& factory) noexcept;
    ~FailSafeNotifier() override;

    // True once the notifier could not be made or has failed: nobody can watch or cancel the job.
    bool failed() const { return !m_notifier; }

    void create(std::function<void()> cancel) override;
    void showProgress(const char* text) override;
    void addResult(const char* path, const char* resultText, int32_t successMark) override;
    void noteResultCode(const char* path, int32_t code) override;
    void showSummary(const char* text) override;
    void showMessage(const char* caption, const char* text) override;
    void waitForClose() override;
    void hide() override;
    void destroyWindow() override;

private:
    // Hands the call to the notifier; false when there is none or it threw, which lets it go.
    template <typename Call> bool forward(const char* operation, const Call& call) noexcept;

    std::unique_ptr<PublishingNotifier> m_notifier;
};
