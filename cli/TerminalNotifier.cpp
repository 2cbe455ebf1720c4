#include "cli/TerminalNotifier.h"

#include "cli/PublishTerminal.h"
#include "publishing/PublishFormat.h"

TerminalNotifier::TerminalNotifier(
    std::shared_ptr<PublishTerminal> terminal, std::vector<size_t> documents, int32_t command)
    : m_terminal(std::move(terminal))
    , m_documents(std::move(documents))
    , m_command(command)
{
}

void TerminalNotifier::create(std::function<void()>) { }

void TerminalNotifier::showProgress(const char* text)
{
    if (!text)
        return;
    m_started = std::chrono::steady_clock::now();
    m_terminal->showProgress(text);
}

void TerminalNotifier::noteResultCode(const char* path, int32_t code)
{
    m_code = std::make_pair(std::string(path ? path : ""), code);
}

std::optional<size_t> TerminalNotifier::claim(const std::string& path)
{
    const std::vector<std::string>& all = m_terminal->documents();
    for (size_t next = m_next; next < m_documents.size(); ++next) {
        if (all[m_documents[next]] != path)
            continue;
        for (; m_next < next; ++m_next)
            m_terminal->passOver(m_documents[m_next]);
        ++m_next;
        return m_documents[next];
    }
    return std::nullopt;
}

void TerminalNotifier::addResult(const char* path, const char* resultText, int32_t successMark)
{
    ResultRow row;
    row.path = path ? path : "";
    row.result = resultText ? resultText : "";
    row.succeeded = successMark != 0;
    if (m_code && m_code->first == row.path)
        row.code = m_code->second;
    m_code.reset();
    const char* suffix = publishedSuffix(row.path.c_str(), m_command);
    if (row.succeeded && suffix)
        row.output = row.path + suffix;
    row.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
    std::optional<size_t> index = claim(row.path);
    if (index)
        m_terminal->addRow(*index, std::move(row));
}

void TerminalNotifier::showSummary(const char*)
{
    for (; m_next < m_documents.size(); ++m_next)
        m_terminal->passOver(m_documents[m_next]);
    m_terminal->sessionEnded();
}

void TerminalNotifier::showMessage(const char* caption, const char* text)
{
    m_terminal->showMessage(caption ? caption : "", text ? text : "");
}

void TerminalNotifier::waitForClose() { }

void TerminalNotifier::hide() { }

void TerminalNotifier::destroyWindow() { }
