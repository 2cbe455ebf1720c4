#include "tests/support/RecordingNotifier.h"

#include <chrono>

void RecordingNotifier::Record::releaseClose()
{
    std::lock_guard lock(mutex);
    holdClose = false;
    changed.notify_all();
}

bool RecordingNotifier::Record::waitUntilWaiting(int milliseconds)
{
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return waiting; });
}

std::vector<std::string> RecordingNotifier::Record::callsCopy()
{
    std::lock_guard lock(mutex);
    return calls;
}

std::vector<RecordingNotifier::Row> RecordingNotifier::Record::rowsCopy()
{
    std::lock_guard lock(mutex);
    return rows;
}

RecordingNotifier::RecordingNotifier(std::shared_ptr<Record> record)
    : m_record(std::move(record))
{
}

RecordingNotifier::~RecordingNotifier()
{
    std::lock_guard lock(m_record->mutex);
    m_record->calls.push_back("delete");
    ++m_record->notifiersDestroyed;
    m_record->changed.notify_all();
}

void RecordingNotifier::note(const std::string& call)
{
    std::lock_guard lock(m_record->mutex);
    m_record->calls.push_back(call);
}

void RecordingNotifier::create(std::function<void()> cancel)
{
    std::lock_guard lock(m_record->mutex);
    m_record->calls.push_back("create");
    m_record->cancel = std::move(cancel);
}

void RecordingNotifier::showProgress(const char* text)
{
    std::lock_guard lock(m_record->mutex);
    m_record->calls.push_back("showProgress");
    m_record->progress.push_back(text ? text : "");
}

void RecordingNotifier::addResult(const char* path, const char* resultText, int32_t successMark)
{
    std::lock_guard lock(m_record->mutex);
    m_record->calls.push_back("addResult");
    m_record->rows.push_back(Row { path, resultText, successMark });
}

void RecordingNotifier::showSummary(const char* text)
{
    std::lock_guard lock(m_record->mutex);
    m_record->calls.push_back("showSummary");
    m_record->summary = text;
}

void RecordingNotifier::showMessage(const char* caption, const char* text)
{
    std::lock_guard lock(m_record->mutex);
    m_record->calls.push_back("showMessage");
    m_record->messages.emplace_back(caption ? caption : "", text ? text : "");
}

void RecordingNotifier::waitForClose()
{
    std::unique_lock lock(m_record->mutex);
    m_record->calls.push_back("waitForClose");
    m_record->waiting = true;
    m_record->changed.notify_all();
    m_record->changed.wait(lock, [this] { return !m_record->holdClose; });
    m_record->waiting = false;
}

void RecordingNotifier::hide()
{
    note("hide");
}

void RecordingNotifier::destroyWindow()
{
    note("destroyWindow");
}
