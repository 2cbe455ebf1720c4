#include "publishing/DocumentQueue.h"

#include "publishing/FailSafeNotifier.h"

#include <cstdio>

DocumentQueue::DocumentQueue(std::vector<const char*> paths, FailSafeNotifier& notifier)
    : m_paths(std::move(paths))
    , m_notifier(notifier)
    , m_states(m_paths.size(), State::Waiting)
    , m_rows(m_paths.size())
{
}

std::optional<size_t> DocumentQueue::take(const std::atomic<bool>& stop)
{
    std::lock_guard lock(m_mutex);
    for (; m_nextTaken < m_paths.size(); ++m_nextTaken) {
        if (stop)
            return std::nullopt;
        const size_t index = m_nextTaken;
        if (!m_paths[index]) {
            m_states[index] = State::Settled;
            showRowsInOrder();
            continue;
        }
        char line[1024];
        std::snprintf(
            line, sizeof line, "Publishing (%zu/%zu): '%s'", index + 1, m_paths.size(), m_paths[index]);
        m_notifier.showProgress(line);
        m_states[index] = State::Taken;
        ++m_nextTaken;
        return index;
    }
    return std::nullopt;
}

void DocumentQueue::settle(size_t index, std::optional<Row> row)
{
    std::lock_guard lock(m_mutex);
    if (index >= m_states.size() || m_states[index] != State::Taken)
        return;
    // The code is known now; the row may have to wait for the rows before it.
    if (row && row->code)
        m_notifier.noteResultCode(m_paths[index], *row->code);
    m_rows[index] = row;
    m_states[index] = State::Settled;
    showRowsInOrder();
}

void DocumentQueue::failUnsettled()
{
    std::lock_guard lock(m_mutex);
    for (size_t index = 0; index < m_states.size(); ++index) {
        if (m_states[index] == State::Taken) {
            m_rows[index] = Row {};
            m_states[index] = State::Settled;
        }
    }
    showRowsInOrder();
}

// Documents are taken in order, so the rows shown so far are those of the first settled
// documents; the documents that a cancel left untaken get none.
void DocumentQueue::showRowsInOrder()
{
    for (; m_nextShown < m_states.size() && m_states[m_nextShown] == State::Settled; ++m_nextShown) {
        std::optional<Row>& row = m_rows[m_nextShown];
        if (!row)
            continue;
        m_notifier.addResult(m_paths[m_nextShown], row->result, row->mark);
        if (row->mark == 1)
            ++m_succeeded;
        row.reset();
    }
}

bool DocumentQueue::notifierFailed()
{
    std::lock_guard lock(m_mutex);
    return m_notifier.failed();
}

int32_t DocumentQueue::succeeded()
{
    std::lock_guard lock(m_mutex);
    return m_succeeded;
}

void DocumentQueue::create(std::function<void()> cancel)
{
    std::lock_guard lock(m_mutex);
    m_notifier.create(std::move(cancel));
}

void DocumentQueue::showProgress(const char* text)
{
    std::lock_guard lock(m_mutex);
    m_notifier.showProgress(text);
}

void DocumentQueue::addResult(const char* path, const char* resultText, int32_t successMark)
{
    std::lock_guard lock(m_mutex);
    m_notifier.addResult(path, resultText, successMark);
}

void DocumentQueue::noteResultCode(const char* path, int32_t code)
{
    std::lock_guard lock(m_mutex);
    m_notifier.noteResultCode(path, code);
}

void DocumentQueue::showSummary(const char* text)
{
    std::lock_guard lock(m_mutex);
    m_notifier.showSummary(text);
}

// The session waits here until the user has seen its message; the other sessions go on until
// they next need the notifier.
void DocumentQueue::showMessage(const char* caption, const char* text)
{
    std::lock_guard lock(m_mutex);
    m_notifier.showMessage(caption, text);
}

void DocumentQueue::waitForClose()
{
    std::lock_guard lock(m_mutex);
    m_notifier.waitForClose();
}

void DocumentQueue::hide()
{
    std::lock_guard lock(m_mutex);
    m_notifier.hide();
}

void DocumentQueue::destroyWindow()
{
    std::lock_guard lock(m_mutex);
    m_notifier.destroyWindow();
}
