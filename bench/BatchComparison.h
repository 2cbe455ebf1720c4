#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// One pressling-cli publish job over N Word documents to PDF against LibreOffice's own batch
// conversion of the same documents in one soffice call, run one after the other on fresh copies.
// The soffice profile is warmed by one conversion first, so that the baseline never pays for a
// first start; the job starts its own office with a seeded profile, as it always does. soffice
// silently leaves out the files past about 247 arguments of one command line, so a batch of more
// than documentsPerCall documents takes several calls, one after the other.
class BatchComparison {
public:
    struct Side {
        double seconds = 0;
        int pdfs = 0;
        bool succeeded = false;
        // How many programs ran: 1 for the job, 1 or more for the batch.
        int calls = 0;
        // The most memory (proportional set size) that the job's offices held at one time.
        double peakOfficeMegabytes = 0;
    };

    struct Result {
        size_t documents = 0;
        Side job;
        Side batch;
        // Both sides ran through and wrote a PDF for every document.
        bool complete() const;
    };

    static constexpr size_t defaultDocumentsPerCall = 200;

    // sources: the documents to copy; scratch: a folder of this run that this object fills.
    BatchComparison(std::vector<std::filesystem::path> sources, std::filesystem::path scratch,
        size_t documentsPerCall = defaultDocumentsPerCall);

    // Converts one document with the baseline's profile, untimed. False when soffice cannot.
    bool warmUp();
    Result run(size_t documents);

    // One pressling-cli publish over copies of documents documents with sessions office
    // sessions side by side ("--jobs"), on fresh copies.
    Side runJobOnCopies(size_t documents, size_t sessions);
    // The pressling-cli that runJobOnCopies runs; this build's when empty (as at first).
    void setJobProgram(std::string path) { m_jobProgram = std::move(path); }
    // The baseline over fresh copies of documents documents.
    Side runBatchOnCopies(size_t documents);

    // The proportional set size, in MB, of the offices that the process with id program has
    // started (their pipe names carry its id) at this moment. Shared pages count once across them.
    static double officeMegabytes(pid_t program);

private:
    Side runJob(
        const std::vector<std::string>& paths, const std::filesystem::path& folder, size_t sessions = 1);
    Side runBatch(const std::vector<std::string>& paths, const std::filesystem::path& outFolder);
    std::vector<std::string> batchCall(
        const std::vector<std::string>& paths, const std::filesystem::path& outFolder) const;

    std::vector<std::filesystem::path> m_sources;
    std::filesystem::path m_scratch;
    size_t m_documentsPerCall;
    std::string m_jobProgram;
};
