#pragma once

#include "publishing/PublishingNotifier.h"

#include <QPointer>
#include <QWidget>

#include <memory>

// The job's side of the notifier window. The job runs on a worker thread while Qt allows windows
// on the GUI thread only, so every operation is handed to the GUI thread as a queued call; the
// job waits for the GUI thread only while the window is being created and while a message is
// shown.
class EncodingNotifier final : public PublishingNotifier {
public:
    // owner: the window that started the job, or null. The notifier window stands above it but
    // is not its child, so that it stays when the owner goes first. Only the GUI thread looks at
    // the owner, so the notifier may be made on the job's thread while the owner is closing.
    explicit EncodingNotifier(QPointer<QWidget> owner = {});
    ~EncodingNotifier() override;

    void create(std::function<void()> cancel) override;
    void showProgress(const char* text) override;
    void addResult(const char* path, const char* resultText, int32_t successMark) override;
    void showSummary(const char* text) override;
    void showMessage(const char* caption, const char* text) override;
    void waitForClose() override;
    void hide() override;
    void destroyWindow() override;

    // Shared with the queued calls, which may still run after this object is gone.
    struct Shared;

private:
    QPointer<QWidget> m_owner;
    std::shared_ptr<Shared> m_shared;
    bool m_created = false;
};
