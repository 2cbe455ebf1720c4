#pragma once

#include "publishing/PublishingNotifier.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class PublishTerminal;

// The notifier of one session of pressling-cli: it hands what its job shows to the run's
// terminal, which puts the rows of all sessions in order. The job names a document by its path
// only; the notifier knows which of the run's documents its job was given, and in which order,
// so it tells its rows apart even when a document of the list gets none (the job passes over an
// XPS document without a row). Nothing on a terminal is left to close, so waiting for the close
// returns at once.
class TerminalNotifier final : public PublishingNotifier {
public:
    // documents: the indexes, among the run's documents, of those given to this job, in order.
    TerminalNotifier(std::shared_ptr<PublishTerminal> terminal, std::vector<size_t> documents, int32_t command);

    void create(std::function<void()> cancel) override;
    void showProgress(const char* text) override;
    void noteResultCode(const char* path, int32_t code) override;
    void addResult(const char* path, const char* resultText, int32_t successMark) override;
    void showSummary(const char* text) override;
    void showMessage(const char* caption, const char* text) override;
    void waitForClose() override;
    void hide() override;
    void destroyWindow() override;

private:
    // The next of this job's documents with that path; the ones before it get no row.
    std::optional<size_t> claim(const std::string& path);

    std::shared_ptr<PublishTerminal> m_terminal;
    std::vector<size_t> m_documents;
    int32_t m_command;
    size_t m_next = 0;
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
    std::optional<std::pair<std::string, int32_t>> m_code;
};
