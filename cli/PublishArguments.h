#pragma once

#include "cli/DocumentShard.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What "pressling-cli publish" was asked to do, read from its arguments. Only the form of the
// arguments is checked here; the list, the documents and the report are looked at later.
struct PublishArguments {
    // More sessions than this would only fight over the processor and the memory: each is a
    // whole office.
    static constexpr int maxJobs = 32;

    int32_t command = 0;
    int jobs = 1;
    // The part of PDF/A of --pdf-a; the PdfArchive setting without one.
    std::optional<int> pdfArchivePart;
    // The list of --files-from; empty without one.
    std::string filesFrom;
    bool nulSeparated = false;
    std::optional<DocumentShard> shard;
    // The report file of --report; empty without one.
    std::string reportPath;
    std::vector<std::string> paths;

    // False with error set for a usage error.
    static bool parse(const std::vector<std::string>& arguments, PublishArguments& out, std::string& error);
};
