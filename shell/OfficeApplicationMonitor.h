#pragma once

#include "foundation/Thread.h"
#include "office/OfficeInstance.h"
#include "shell/OfficeApplicationRow.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class OfficeApplicationList;

// The watcher of the start-up check: on a thread of its own it looks for open office
// applications every two seconds and shows them in the check window's list. When none is left
// it tells the check window (what was message WM_NO_OFFICE_WINDOW) and ends; while some are open it
// brings the check window back from its minimized state. Every change to the list is carried
// out on the GUI thread; the watcher never touches a widget.
class OfficeApplicationMonitor : public Thread {
public:
    // The office applications open now; nothing when the session offers no way to look. The
    // program hands in the office suite's own way to find them.
    using Listing = std::function<std::optional<std::vector<office::OfficeInstance>>()>;

    // Created held back, reporting to no list yet. listing is called on the watcher's thread.
    explicit OfficeApplicationMonitor(Listing listing);
    // Clears keepRunning and, when the watcher was started, waits until it has ended, which it
    // does within half a second: its object must outlive it.
    ~OfficeApplicationMonitor() override;

    // On the GUI thread, before start: the list to fill. The window it sits in is the check
    // window. The watcher stops on its own once the list has been destroyed. noneLeft runs on
    // the GUI thread soon after the list was found empty, unless the check window is gone.
    void setList(OfficeApplicationList* list, std::function<void()> noneLeft = {});

    int32_t start() override;
    void run() override;

    // Written by the owner, read by the watcher between its steps without a lock.
    std::atomic<bool> keepRunning { true };

private:
    struct Shared;

    bool watchOnce();
    std::vector<OfficeApplicationRow> currentRows();
    void showOnList(std::vector<OfficeApplicationRow> rows);
    void pause();

    Listing m_listing;
    std::shared_ptr<Shared> m_shared;
    bool m_started = false;
};
