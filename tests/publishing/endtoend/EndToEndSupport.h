#pragma once

#include "platform/ChildProcess.h"
#include "platform/ProcessHandle.h"

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

// What a test needs to prove that nothing of a document was lost: its bytes and permissions
// before, compared with after.
struct DocumentSnapshot {
    std::string path;
    std::string bytes;
    mode_t mode = 0;

    static DocumentSnapshot of(const std::string& path);
    bool unchanged() const;
};

// A copy of a corpus document (corpus-relative name such as "word/default.docx") in folder,
// writable by its owner; returns its path.
std::string copyCorpusDocument(
    const std::string& corpusName, const std::string& folder, const std::string& newName = "");
std::string corpusFolder();
// Names in folder that look like a backup: the document's name, a period and a braced GUID.
std::vector<std::string> backupsIn(const std::string& folder);
// A small Word document that recommends read-only opening.
std::string readOnlyRecommendedDocument();
mode_t modeOf(const std::string& path);
// The lines of a text, without their line ends.
std::vector<std::string> textLines(const std::string& text);
// The office processes that the pressling-cli with process id job started and that still run;
// their pipe names carry the job's id. Held open, so that none is mistaken for a later process.
std::vector<std::unique_ptr<platform::ProcessHandle>> officesOf(pid_t job);
// Ends (SIGKILL) the office processes that the pressling-cli with process id job started, which
// a job that was ended at once may leave behind; their pipe names carry the job's id.
void killOfficesOf(pid_t job);
// How the tests start pressling-cli: with the registry in registryFolder and both outputs
// captured.
platform::ChildProcess::Options cliOptions(const std::string& registryFolder);
