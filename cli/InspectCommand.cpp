#include "cli/InspectCommand.h"

#include "cli/ShellQuote.h"

#include "classify/ClientLicensorCertificate.h"
#include "classify/EncryptedFileFinder.h"
#include "classify/ProtectedDocument.h"
#include "foundation/Exception.h"
#include "foundation/String.h"
#include "foundation/TraceSink.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const char* kindName(ProtectionKind kind)
{
    switch (kind) {
    case PROTECTION_IRM:
        return "IRM";
    case PROTECTION_PASSWORD:
        return "PWD";
    default:
        return "-";
    }
}

// The licence owner and whether the user holds a CLC for it, as the two extra fields.
std::string ownerFields(const std::string& path)
{
    std::string owner;
    try {
        ProtectedDocument document(path.c_str());
        String text;
        if (document.getOwner(text) && text.getText())
            owner = text.getText();
    } catch (const Exception& exception) {
        std::fprintf(stderr, "pressling-cli inspect: %s: %s\n", ShellQuote::printable(path).c_str(),
            ShellQuote::printable(exception.getMessage()).c_str());
    }
    bool hasCertificate = !owner.empty() && findCLC(owner.c_str());
    // The owner comes from the document itself: a line end in it must not split the row either.
    return "\t" + ShellQuote::printable(owner) + "\t" + (hasCertificate ? "yes" : "no");
}

}

const char* InspectCommand::summary() const
{
    return "show whether documents are protected by a password or rights management";
}

const char* InspectCommand::usage() const
{
    return "Usage: pressling-cli inspect [--owner] PATH...\n\n"
           "Prints one line per path: KIND<TAB>PATH, where KIND is PWD (password), IRM (rights\n"
           "management) or - (neither), as the file list shows it.\n\n"
           "  --owner   adds two fields: the owner named by the document's issuance licence\n"
           "            (empty when it has none) and yes or no: whether you hold a client\n"
           "            licensor certificate for that owner.\n\n"
           "A path that does not exist is also reported on standard error. The exit code is 0.\n"
           "A path with a line end, a tab or another control character, or with bytes that are\n"
           "no UTF-8, is printed in the shell's $'...' form, which a shell reads back as the path.\n";
}

int InspectCommand::run(const std::vector<std::string>& arguments)
{
    bool withOwner = false;
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--owner") {
            withOwner = true;
        } else if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            std::fprintf(stderr, "pressling-cli inspect: unknown option '%s'\n", argument.c_str());
            std::fputs(usage(), stderr);
            return 2;
        } else {
            paths.push_back(argument);
        }
    }
    if (paths.empty()) {
        std::fputs(usage(), stderr);
        return 2;
    }

    for (const std::string& path : paths) {
        std::error_code error;
        if (!std::filesystem::exists(path, error))
            std::fprintf(
                stderr, "pressling-cli inspect: %s: no such file\n", ShellQuote::printable(path).c_str());
        ProtectionKind kind = PROTECTION_NONE;
        // Standard output holds the rows alone; a file that cannot be read is traced beside the
        // other messages.
        EncryptedFileFinder finder(TraceSink::writingTo(stderr));
        finder.isEncryptedFile(path.c_str(), kind);
        std::string line = std::string(kindName(kind)) + "\t" + ShellQuote::printable(path);
        if (withOwner)
            line += ownerFields(path);
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    return 0;
}
