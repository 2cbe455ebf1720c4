#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One document's outcome as pressling-cli reports it: the row of the terminal and the line of
// the report file.
struct ResultRow {
    std::string path;
    // "OK", "NG" or "SKIPPED".
    std::string result;
    bool succeeded = false;
    // The result code of the publishing, when the document got that far.
    std::optional<int32_t> code;
    // The published file, for a document that was published.
    std::string output;
    double seconds = 0;
};
