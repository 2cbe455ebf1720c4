#include "shell/ProgramArguments.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr int helpExitCode = 0;
constexpr int usageExitCode = 2;

bool isHelp(const std::string& word)
{
    return word == "--help" || word == "-h";
}

// A word as a message quotes it: a line end in it would split the message's one line and an
// escape would steer the terminal, so control characters show as '?'.
std::string quoted(const std::string& word)
{
    std::string text = "'";
    for (char character : word) {
        const auto byte = static_cast<unsigned char>(character);
        text += byte < 0x20 || byte == 0x7f ? '?' : character;
    }
    return text + "'";
}

bool hasParentStep(const fs::path& path)
{
    for (const fs::path& part : path) {
        if (part == "..")
            return true;
    }
    return false;
}

}

ProgramArguments ProgramArguments::parse(const std::vector<std::string>& words)
{
    if (words.empty())
        return {};
    if (words.size() > 1)
        return mistake("one folder at most, but " + std::to_string(words.size()) + " arguments were given");
    const std::string& word = words.front();
    if (isHelp(word)) {
        ProgramArguments help;
        help.m_request = Request::Help;
        return help;
    }
    if (word.size() > 1 && word.front() == '-')
        return mistake("unknown option " + quoted(word));
    return folderNamed(word);
}

bool ProgramArguments::decidedBeforeToolkit(const std::vector<std::string>& words)
{
    if (words.size() == 1 && isHelp(words.front()))
        return true;
    for (const std::string& word : words) {
        if (!word.empty() && word.front() == '-')
            return false;
    }
    return true;
}

const char* ProgramArguments::usage()
{
    return "Usage: pressling [FOLDER]\n\n"
           "Lists the Word documents of a folder and what was published from them, and publishes\n"
           "them as HTML, web archive (MHTML), text, Unicode text, XPS or PDF beside the source.\n\n"
           "  FOLDER      the folder to show first (relative to the current folder, or\n"
           "              absolute); without it the window opens at the folder it showed\n"
           "              when it was last closed\n"
           "  -h, --help  show this text and end\n\n"
           "Qt's own options, such as -platform or -display, are taken before these.\n\n"
           "Exit status: 0 once the window was closed, 1 when the start was cancelled while\n"
           "office windows were open, 2 for a usage error.\n";
}

std::optional<int> ProgramArguments::answer(std::FILE* output, std::FILE* errors) const
{
    switch (m_request) {
    case Request::Help:
        std::fputs(usage(), output);
        return helpExitCode;
    case Request::Mistake:
        std::fprintf(errors, "pressling: %s\nUsage: pressling [FOLDER]\n", m_problem.c_str());
        return usageExitCode;
    case Request::PreviousFolder:
    case Request::Folder:
        break;
    }
    return std::nullopt;
}

ProgramArguments ProgramArguments::folderNamed(const std::string& word)
{
    if (word.empty())
        return mistake("the folder name is empty");
    std::error_code error;
    const fs::path path = fs::absolute(word, error);
    if (error)
        return mistake(quoted(word) + ": the current folder cannot be read: " + error.message());
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found)
        return mistake(quoted(word) + " does not exist");
    if (error)
        return mistake(quoted(word) + " cannot be reached: " + error.message());
    if (!fs::is_directory(status))
        return mistake(quoted(word) + " is not a folder");
    // A ".." after a link leads where the system takes it, to the parent of the link's target,
    // while dropping it letter by letter would lead to the folder that holds the link; so such a
    // path is resolved by the system. Any other path keeps the links the user named, as the
    // shell's current folder does.
    const fs::path folder = hasParentStep(path) ? fs::canonical(path, error) : path.lexically_normal();
    if (error)
        return mistake(quoted(word) + " cannot be reached: " + error.message());
    ProgramArguments request;
    request.m_request = Request::Folder;
    request.m_folder = folder.string();
    if (request.m_folder.back() != '/')
        request.m_folder += '/';
    return request;
}

ProgramArguments ProgramArguments::mistake(std::string problem)
{
    ProgramArguments request;
    request.m_request = Request::Mistake;
    request.m_problem = std::move(problem);
    return request;
}
