#include "ScriptedListing.h"
#include "ShellTestDesktop.h"

#include <QTest>

ScriptedListing::ScriptedListing(std::vector<Answer> answers)
    : m_state(std::make_shared<State>())
{
    // The watcher looks up each row's icon on the desktop, which must be the tests' own.
    shellTestDesktop();
    m_state->answers = std::move(answers);
}

OfficeApplicationMonitor::Listing ScriptedListing::listing() const
{
    return [state = m_state]() -> Answer {
        std::lock_guard lock(state->mutex);
        size_t pass = static_cast<size_t>(state->calls++);
        if (state->answers.empty())
            return noOffices;
        return state->answers[std::min(pass, state->answers.size() - 1)];
    };
}

void ScriptedListing::finishWith(Answer answer)
{
    std::lock_guard lock(m_state->mutex);
    m_state->answers.assign(1, std::move(answer));
}

int ScriptedListing::calls() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->calls;
}

bool ScriptedListing::waitForCalls(int count, std::chrono::milliseconds timeout) const
{
    return QTest::qWaitFor([this, count] { return calls() >= count; }, static_cast<int>(timeout.count()));
}

office::OfficeInstance officeWindow(const std::string& title, const std::string& account,
    const std::string& domain, const std::string& documentExtension)
{
    return { title, documentExtension, 4242, account, domain };
}
