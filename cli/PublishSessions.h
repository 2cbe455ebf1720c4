#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class PublishTerminal;

// The publishing jobs of one pressling-cli run, side by side: each job is one office session
// (its own private office) with its share of the documents. The documents are handed out in
// order, one to each session in turn, so that the first documents are the first to be done and
// each session gets as many as the others; a session that cannot start costs only its own
// share. Ctrl-C (or SIGTERM) asks every session to stop after its current document.
class PublishSessions {
public:
    // Which of count documents each of sessions jobs gets: session i the documents i,
    // i + sessions, i + 2 * sessions and so on. No more sessions than documents.
    static std::vector<std::vector<size_t>> handOut(size_t count, size_t sessions);

    // Publishes the terminal's documents with command in at most sessions jobs and returns when
    // every job has ended. PDFs follow pdfArchivePart of PDF/A when given, else the PdfArchive
    // setting.
    static void run(int32_t command, size_t sessions, const std::shared_ptr<PublishTerminal>& terminal,
        std::optional<int> pdfArchivePart = {});
};
