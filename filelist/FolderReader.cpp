#include "filelist/FolderReader.h"

#include "filelist/FileNameOrder.h"
#include "foundation/OutOfMemoryException.h"
#include "platform/MachineResources.h"

#include <QFile>

#include <algorithm>
#include <chrono>

namespace {

// The listing hands its files over in batches: the first at once, so that rows show quickly;
// the others when this many are found or this long has passed, so that the window takes them
// in a few large steps rather than many small ones.
constexpr size_t BatchFiles = 4096;
constexpr auto BatchTime = std::chrono::milliseconds(40);

}

void FolderReader::sortFound(std::vector<FoundFile>& files)
{
    std::sort(files.begin(), files.end(), [](const FoundFile& a, const FoundFile& b) {
        int order = a.sortKey.compare(b.sortKey);
        return order != 0 ? order < 0 : a.entry.name < b.entry.name;
    });
}

FolderReader::FolderReader(QByteArray folder, Services services, Receiver& receiver)
    : m_folder(std::move(folder))
    , m_services(std::move(services))
    , m_receiver(receiver)
{
}

FolderReader::~FolderReader()
{
    {
        std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

std::unique_ptr<FolderReader> FolderReader::listing(
    const QByteArray& folder, Filter filter, Services services, Receiver& receiver)
{
    std::unique_ptr<FolderReader> reader(new FolderReader(folder, std::move(services), receiver));
    FolderReader* self = reader.get();
    reader->start([self, filter = std::move(filter)] { self->listFolder(filter); });
    return reader;
}

std::unique_ptr<FolderReader> FolderReader::lookingUp(
    const QByteArray& folder, std::vector<QByteArray> names, Services services, Receiver& receiver)
{
    std::unique_ptr<FolderReader> reader(new FolderReader(folder, std::move(services), receiver));
    FolderReader* self = reader.get();
    reader->start([self, names = std::move(names)] { self->lookUpNames(names); });
    return reader;
}

void FolderReader::start(std::function<void()> find)
{
    m_threads.emplace_back([this, find = std::move(find)] {
        platform::MachineResources::yieldToForeground();
        find();
    });
    for (size_t tester = 0; tester < std::max<size_t>(1, m_services.testers); ++tester)
        m_threads.emplace_back([this] {
            platform::MachineResources::yieldToForeground();
            runTests();
        });
}

void FolderReader::listFolder(const Filter& filter)
{
    // Only names and what the directory says of them: no file is opened here.
    std::optional<std::vector<platform::FolderEntry>> entries
        = platform::FolderEntries::list(m_folder.toStdString());
    std::vector<FoundFile> batch;
    if (!entries) {
        std::lock_guard lock(m_lock);
        m_unreadable = true;
        addFound(batch, true);
        return;
    }
    FileNameOrder order;
    auto batchStart = std::chrono::steady_clock::now();
    bool first = true;
    for (platform::FolderEntry& entry : *entries) {
        if (m_stop)
            return;
        if (entry.isDirectory || entry.name == ".")
            continue;
        QByteArray fullPath = m_folder + QByteArray::fromStdString(entry.name);
        if (!filter(entry, fullPath))
            continue;
        QString shown = QFile::decodeName(QByteArray::fromStdString(entry.name));
        std::optional<ProtectionKind> kind = m_services.cache->find(ProtectionCache::keyOf(entry));
        QCollatorSortKey key = order.sortKey(shown);
        batch.push_back(FoundFile { std::move(entry), std::move(shown), std::move(key), kind });
        if (first || batch.size() >= BatchFiles
            || std::chrono::steady_clock::now() - batchStart >= BatchTime) {
            sortFound(batch);
            std::lock_guard lock(m_lock);
            addFound(batch, false);
            batchStart = std::chrono::steady_clock::now();
            first = false;
        }
    }
    sortFound(batch);
    std::lock_guard lock(m_lock);
    addFound(batch, true);
}

void FolderReader::lookUpNames(const std::vector<QByteArray>& names)
{
    FileNameOrder order;
    std::vector<FoundFile> batch;
    std::vector<QByteArray> missing;
    // A folder that went away takes its entries with it, whatever is at their paths now.
    bool folderThere = platform::FolderEntries::lookUp(m_folder.toStdString()).has_value();
    for (const QByteArray& name : names) {
        if (m_stop)
            return;
        std::optional<platform::FolderEntry> entry
            = folderThere ? platform::FolderEntries::lookUp((m_folder + name).toStdString()) : std::nullopt;
        if (!entry || entry->isDirectory) {
            missing.push_back(name);
            continue;
        }
        entry->name = name.toStdString();
        std::optional<ProtectionKind> kind = m_services.cache->find(ProtectionCache::keyOf(*entry));
        QString shown = QFile::decodeName(name);
        QCollatorSortKey key = order.sortKey(shown);
        batch.push_back(FoundFile { std::move(*entry), std::move(shown), std::move(key), kind });
    }
    sortFound(batch);
    std::lock_guard lock(m_lock);
    m_unreadable = !folderThere;
    m_missing.insert(m_missing.end(), missing.begin(), missing.end());
    addFound(batch, true);
}

void FolderReader::addFound(std::vector<FoundFile>& batch, bool last)
{
    for (const FoundFile& file : batch) {
        if (file.kind)
            continue;
        m_tests.push_back(
            Test { QByteArray::fromStdString(file.entry.name), ProtectionCache::keyOf(file.entry) });
        ++m_testsOpen;
    }
    std::move(batch.begin(), batch.end(), std::back_inserter(m_found));
    batch.clear();
    m_listed = last;
    advanceLocked();
    m_wake.notify_all();
}

void FolderReader::runTests()
{
    for (;;) {
        Test test;
        {
            std::unique_lock lock(m_lock);
            m_wake.wait(lock, [this] { return m_stop || !m_urgent.empty() || !m_tests.empty() || m_listed; });
            if (m_stop)
                return;
            std::deque<Test>& queue = m_urgent.empty() ? m_tests : m_urgent;
            if (queue.empty())
                return;
            test = std::move(queue.front());
            queue.pop_front();
            if (m_tested.contains(test.name)) {
                // Asked for first, and so already taken from the other queue.
                continue;
            }
            m_tested.insert(test.name);
        }
        ProtectionKind kind = PROTECTION_NONE;
        try {
            kind = ProtectionCache::test(m_folder + test.name, m_services.trace);
            m_services.cache->store(test.key, kind);
        } catch (const OutOfMemoryException&) {
            // The file is shown as unprotected but nothing is kept: a publish command tests it
            // again before a job may take it.
            m_services.trace.line("Access error:1 %s\n", (m_folder + test.name).constData());
        }
        std::lock_guard lock(m_lock);
        m_answers.push_back(Answer { test.name, test.key, kind });
        --m_testsOpen;
        advanceLocked();
    }
}

void FolderReader::testFirst(const std::vector<QByteArray>& names)
{
    std::lock_guard lock(m_lock);
    for (const QByteArray& name : names) {
        if (m_tested.contains(name))
            continue;
        auto waiting = std::find_if(
            m_tests.begin(), m_tests.end(), [&](const Test& test) { return test.name == name; });
        if (waiting != m_tests.end())
            m_urgent.push_back(*waiting);
    }
    m_wake.notify_all();
}

void FolderReader::advanceLocked()
{
    if (m_told)
        return;
    m_told = true;
    m_receiver.readingAdvanced();
}

FolderReader::Progress FolderReader::take(size_t atMost)
{
    std::lock_guard lock(m_lock);
    Progress progress;
    size_t count = std::min(atMost, m_found.size());
    progress.found.assign(std::make_move_iterator(m_found.begin()),
        std::make_move_iterator(m_found.begin() + static_cast<ptrdiff_t>(count)));
    m_found.erase(m_found.begin(), m_found.begin() + static_cast<ptrdiff_t>(count));
    progress.more = !m_found.empty();
    progress.missing = std::move(m_missing);
    m_missing.clear();
    progress.answers = std::move(m_answers);
    m_answers.clear();
    progress.listed = m_listed && m_found.empty();
    progress.unreadable = m_unreadable;
    progress.finished = progress.listed && m_testsOpen == 0;
    m_told = false;
    return progress;
}
