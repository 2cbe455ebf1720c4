#pragma once

#include "cli/ResultRow.h"
#include "platform/OutputFile.h"

#include <optional>
#include <string>

class DocumentSet;

// The report of --report: one JSON object per result row (JSON Lines), written as the rows come,
// so that a batch system finds the results of a run that was ended halfway too:
// {"path":"/a/report.docx","result":"OK","code":0,"output":"/a/report.docx.pdf","seconds":1.25}
// A path that is no UTF-8 is written in the shell's $'...' form, as the row prints it, with
// "quoted":true. The file is opened before any document is touched, and refused when it is one
// of the documents or the list, or a file of another kind that is there already: writing it
// must never destroy what the run works from, nor a file of the user's behind a mistyped name.
class ResultReport {
public:
    // False with error set when path cannot be written or must not be.
    bool open(const std::string& path, const DocumentSet& documents,
        const std::optional<platform::FileIdentity>& list, std::string& error);
    bool isOpen() const { return m_file.isOpen(); }
    void add(const ResultRow& row);
    // True once a line could not be written; the first failure is told on standard error.
    bool failed() const { return m_failed; }

    // The line of one row, without its line end.
    static std::string line(const ResultRow& row);

private:
    platform::OutputFile m_file;
    std::string m_path;
    bool m_failed = false;
};
