#pragma once

#include "publishing/PublishingNotifier.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// A publishing notifier that writes down what the job shows, for tests. Its record outlives the
// notifier (the job deletes its notifier), and the close can be held back until the test lets
// it go, to see what the job does while its notifier is still open.
class RecordingNotifier : public PublishingNotifier {
public:
    struct Row {
        std::string path;
        std::string result;
        int32_t mark = -1;
    };

    struct Record {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::string> calls;
        std::vector<std::string> progress;
        std::vector<Row> rows;
        std::string summary;
        // Caption and text of every message shown, in order.
        std::vector<std::pair<std::string, std::string>> messages;
        // What the job gave the notifier to ask it to stop: a test calls it as a confirmed Cancel.
        std::function<void()> cancel;
        bool holdClose = false;
        bool waiting = false;
        int notifiersDestroyed = 0;

        // Lets a held waitForClose return.
        void releaseClose();
        // Waits until the job sits in waitForClose; false when it did not within the time.
        bool waitUntilWaiting(int milliseconds);
        std::vector<std::string> callsCopy();
        std::vector<Row> rowsCopy();
    };

    explicit RecordingNotifier(std::shared_ptr<Record> record);
    ~RecordingNotifier() override;

    void create(std::function<void()> cancel) override;
    void showProgress(const char* text) override;
    void addResult(const char* path, const char* resultText, int32_t successMark) override;
    void showSummary(const char* text) override;
    void showMessage(const char* caption, const char* text) override;
    void waitForClose() override;
    void hide() override;
    void destroyWindow() override;

private:
    void note(const std::string& call);

    std::shared_ptr<Record> m_record;
};
