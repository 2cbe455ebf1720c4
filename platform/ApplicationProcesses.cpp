#include "platform/ApplicationProcesses.h"

#include "platform/FileOperations.h"
#include "platform/ProcessAccount.h"

#include <algorithm>
#include <charconv>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <utility>

namespace platform {

namespace {

struct FolderCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

// A command line is bounded by the system's argument limit, a few megabytes at most.
constexpr uint64_t largestCommandLine = 16ull * 1024 * 1024;

std::string_view lastComponent(std::string_view path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool isProcessNumber(std::string_view name)
{
    long pid = 0;
    auto [end, failure] = std::from_chars(name.data(), name.data() + name.size(), pid);
    return failure == std::errc() && end == name.data() + name.size() && pid > 0;
}

}

ApplicationProcesses::ApplicationProcesses(Recogniser recognise, std::string processRoot)
    : m_recognise(std::move(recognise))
    , m_processRoot(std::move(processRoot))
{
}

std::vector<OpenApplication> ApplicationProcesses::list() const
{
    std::vector<OpenApplication> found;
    std::unique_ptr<DIR, FolderCloser> table(::opendir(m_processRoot.c_str()));
    if (!table)
        return found;
    const ProcessAccount accounts(m_processRoot);
    const std::string host = ProcessAccount::hostName();
    while (const dirent* entry = ::readdir(table.get())) {
        std::string name = entry->d_name;
        if (!isProcessNumber(name))
            continue;
        std::vector<std::string> arguments = argumentsOf(name);
        // A kernel thread has no command line, and so no program to recognise.
        std::optional<std::string> title = arguments.empty() ? std::nullopt : m_recognise(arguments);
        if (!title)
            continue;
        OpenApplication application;
        std::from_chars(name.data(), name.data() + name.size(), application.pid);
        // A process that ended meanwhile, or whose owner has no name, is not shown.
        std::optional<std::string> account = accounts.accountOf(application.pid);
        if (!account)
            continue;
        application.title = std::move(*title);
        application.className = std::string(lastComponent(arguments.front()));
        application.account = std::move(*account);
        application.domain = host;
        found.push_back(std::move(application));
    }
    return found;
}

std::vector<std::string> ApplicationProcesses::argumentsOf(const std::string& pid) const
{
    std::vector<std::string> arguments;
    std::string text;
    if (!fileOperations::readAll(m_processRoot + "/" + pid + "/cmdline", text, largestCommandLine))
        return arguments;
    // Arguments are separated (and ended) by NUL bytes.
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find('\0', start), text.size());
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

}
