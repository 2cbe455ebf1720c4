#include "filelist/FolderReader.h"

#include "filelist/FileNameOrder.h"
#include "filelist/FileRowBuilder.h"
#include "foundation/OutOfMemoryException.h"
#include "platform/MachineResources.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// The listing hands its files over in batches: the first at once, so that rows show quickly;
// the others when this many are found or this long has passed, so that the window takes them
// in a few large steps rather than many small ones.
constexpr size_t BatchFiles = 4096;
constexpr auto BatchTime = std::chrono::milliseconds(40);

}

FoundFile::FoundFile(platform::FolderEntry found, QString shown, QCollatorSortKey key,
    std::optional<ProtectionKind> protection)
    : entry(std::move(found))
    , name(QByteArray::fromStdString(entry.name))
    , shownName(std::move(shown))
    , sortKey(std::move(key))
    , kind(protection)
    , sizeText(FileRowBuilder::sizeText(entry.size))
    , modifiedText(FileRowBuilder::modifiedText(entry.modified))
{
}

void FolderReader::sortFound(std::vector<FoundFile>& files)
{
    std::sort(files.begin(), files.end(), [](const FoundFile& a, const FoundFile& b) {
        int order = a.sortKey.compare(b.sortKey);
        return order != 0 ? order < 0 : a.entry.name < b.entry.name;
    });
}

struct FolderReader::Shared {
    struct Test {
        QByteArray name;
        ProtectionCache::Key key;
    };

    Shared(QByteArray folder, Services services, Receiver& receiver)
        : folder(std::move(folder))
        , services(std::move(services))
        , receiver(&receiver)
    {
    }

    void listFolder(const Filter& filter);
    void lookUpNames(const std::vector<QByteArray>& names);
    // Under lock: hands found files over and queues the tests they need.
    void addFound(std::vector<FoundFile>& batch, bool last);
    void runTests();
    void cannotRead()
    {
        std::lock_guard guard(lock);
        unreadable = true;
        std::vector<FoundFile> none;
        addFound(none, true);
    }
    // Under lock: tells the receiver, unless it has been told and has not taken yet.
    void advance();

    const QByteArray folder;
    const Services services;
    std::atomic<bool> stop { false };

    std::mutex lock;
    std::condition_variable wake;
    Receiver* receiver;
    std::deque<Test> tests;
    std::deque<Test> urgent;
    QSet<QByteArray> tested;
    // Tests waiting or in hand.
    size_t testsOpen = 0;
    std::vector<FoundFile> found;
    std::vector<QByteArray> missing;
    std::vector<Answer> answers;
    bool listed = false;
    bool unreadable = false;
    bool told = false;
};

FolderReader::FolderReader(std::shared_ptr<Shared> shared)
    : m_shared(std::move(shared))
{
}

FolderReader::~FolderReader()
{
    {
        std::lock_guard lock(m_shared->lock);
        m_shared->stop = true;
        m_shared->receiver = nullptr;
    }
    m_shared->wake.notify_all();
}

namespace {

// Starts the testers and find, each on a thread of its own that holds the reading's state.
// Where the system gives no thread for a tester, the finder tests after finding; where it gives
// none at all, the folder counts as unreadable.
template <typename State, typename Find> void startThreads(const std::shared_ptr<State>& shared, Find find)
{
    size_t testers = 0;
    try {
        for (; testers < std::max<size_t>(1, shared->services.testers); ++testers)
            std::thread([shared] {
                platform::MachineResources::yieldToForeground();
                shared->runTests();
            }).detach();
    } catch (const std::system_error&) {
    }
    try {
        std::thread([shared, find = std::move(find), testers] {
            platform::MachineResources::yieldToForeground();
            find(*shared);
            if (testers == 0)
                shared->runTests();
        }).detach();
    } catch (const std::system_error&) {
        shared->cannotRead();
    }
}

}

std::unique_ptr<FolderReader> FolderReader::listing(
    const QByteArray& folder, Filter filter, Services services, Receiver& receiver)
{
    auto shared = std::make_shared<Shared>(folder, std::move(services), receiver);
    startThreads(shared, [filter = std::move(filter)](Shared& state) { state.listFolder(filter); });
    return std::unique_ptr<FolderReader>(new FolderReader(shared));
}

std::unique_ptr<FolderReader> FolderReader::lookingUp(
    const QByteArray& folder, std::vector<QByteArray> names, Services services, Receiver& receiver)
{
    auto shared = std::make_shared<Shared>(folder, std::move(services), receiver);
    startThreads(shared, [names = std::move(names)](Shared& state) { state.lookUpNames(names); });
    return std::unique_ptr<FolderReader>(new FolderReader(shared));
}

void FolderReader::Shared::listFolder(const Filter& filter)
{
    // Only names and what the directory says of them: no file is opened here, and only the files
    // that the list shows are looked up.
    FileNameOrder order;
    std::vector<FoundFile> batch;
    auto batchStart = std::chrono::steady_clock::now();
    bool first = true;
    bool readable = platform::FolderEntries::visitFiles(
        folder.toStdString(), filter, [&](platform::FolderEntry& entry) {
            if (stop)
                return false;
            QString shown = QFile::decodeName(QByteArray::fromStdString(entry.name));
            std::optional<ProtectionKind> kind = services.cache->find(ProtectionCache::keyOf(entry));
            QCollatorSortKey key = order.sortKey(shown);
            batch.emplace_back(std::move(entry), std::move(shown), std::move(key), kind);
            if (first || batch.size() >= BatchFiles
                || std::chrono::steady_clock::now() - batchStart >= BatchTime) {
                sortFound(batch);
                std::lock_guard guard(lock);
                addFound(batch, false);
                batchStart = std::chrono::steady_clock::now();
                first = false;
            }
            return true;
        });
    if (!readable) {
        cannotRead();
        return;
    }
    sortFound(batch);
    std::lock_guard guard(lock);
    addFound(batch, true);
}

void FolderReader::Shared::lookUpNames(const std::vector<QByteArray>& names)
{
    FileNameOrder order;
    std::vector<FoundFile> batch;
    std::vector<QByteArray> gone;
    // A folder that went away takes its entries with it, whatever is at their paths now.
    bool folderThere = platform::FolderEntries::lookUp(folder.toStdString()).has_value();
    for (const QByteArray& name : names) {
        if (stop)
            return;
        std::optional<platform::FolderEntry> entry
            = folderThere ? platform::FolderEntries::lookUp((folder + name).toStdString()) : std::nullopt;
        if (!entry || entry->isDirectory) {
            gone.push_back(name);
            continue;
        }
        entry->name = name.toStdString();
        std::optional<ProtectionKind> kind = services.cache->find(ProtectionCache::keyOf(*entry));
        QString shown = QFile::decodeName(name);
        QCollatorSortKey key = order.sortKey(shown);
        batch.emplace_back(std::move(*entry), std::move(shown), std::move(key), kind);
    }
    sortFound(batch);
    std::lock_guard guard(lock);
    unreadable = !folderThere;
    missing.insert(missing.end(), gone.begin(), gone.end());
    addFound(batch, true);
}

void FolderReader::Shared::addFound(std::vector<FoundFile>& batch, bool last)
{
    for (const FoundFile& file : batch) {
        if (file.kind)
            continue;
        tests.push_back(Test { file.name, ProtectionCache::keyOf(file.entry) });
        ++testsOpen;
    }
    std::move(batch.begin(), batch.end(), std::back_inserter(found));
    batch.clear();
    listed = last;
    advance();
    wake.notify_all();
}

void FolderReader::Shared::runTests()
{
    for (;;) {
        Test test;
        {
            std::unique_lock guard(lock);
            wake.wait(guard, [this] { return stop || !urgent.empty() || !tests.empty() || listed; });
            if (stop)
                return;
            std::deque<Test>& queue = urgent.empty() ? tests : urgent;
            if (queue.empty())
                return;
            test = std::move(queue.front());
            queue.pop_front();
            // A file asked for first is in both queues; it is tested once.
            if (tested.contains(test.name))
                continue;
            tested.insert(test.name);
        }
        ProtectionKind kind = PROTECTION_NONE;
        try {
            kind = ProtectionCache::test(folder + test.name, services.trace);
            services.cache->store(test.key, kind);
        } catch (const OutOfMemoryException&) {
            // Shown as unprotected but not kept: a publish command tests the file again before a
            // job may take it.
            services.trace.line("Access error:1 %s\n", (folder + test.name).constData());
        }
        std::lock_guard guard(lock);
        answers.push_back(Answer { test.name, test.key, kind });
        --testsOpen;
        advance();
    }
}

void FolderReader::testFirst(const std::vector<QByteArray>& names)
{
    // One pass over the waiting tests, however many rows the user selected.
    QSet<QByteArray> wanted(names.begin(), names.end());
    Shared& shared = *m_shared;
    std::lock_guard guard(shared.lock);
    for (const Shared::Test& test : shared.tests) {
        if (wanted.contains(test.name) && !shared.tested.contains(test.name))
            shared.urgent.push_back(test);
    }
    shared.wake.notify_all();
}

void FolderReader::Shared::advance()
{
    if (told || !receiver)
        return;
    told = true;
    receiver->readingAdvanced();
}

FolderReader::Progress FolderReader::take(size_t atMost)
{
    Shared& shared = *m_shared;
    std::lock_guard guard(shared.lock);
    Progress progress;
    auto end = shared.found.begin() + static_cast<ptrdiff_t>(std::min(atMost, shared.found.size()));
    progress.found.assign(std::make_move_iterator(shared.found.begin()), std::make_move_iterator(end));
    shared.found.erase(shared.found.begin(), end);
    progress.more = !shared.found.empty();
    progress.missing = std::move(shared.missing);
    shared.missing.clear();
    // An answer may come before its file has been taken; it waits until every file found has
    // been, so that it always meets its row.
    if (!progress.more) {
        progress.answers = std::move(shared.answers);
        shared.answers.clear();
    }
    progress.listed = shared.listed && shared.found.empty();
    progress.unreadable = shared.unreadable;
    progress.finished = progress.listed && shared.testsOpen == 0;
    shared.told = false;
    return progress;
}
