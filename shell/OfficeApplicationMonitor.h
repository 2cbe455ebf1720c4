#pragma once

#include "foundation/Thread.h"
#include "office/OfficeInstance.h"
#include "shell/OfficeApplicationRow.h"

#include <chrono>
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

    // Created held back, reporting to no list yet. listing is called on the watcher's thread;
    // interval is the pause between two looks.
    explicit OfficeApplicationMonitor(
        Listing listing, std::chrono::milliseconds interval = std::chrono::seconds(2));
    // Asks the watcher to stop and, when it was started, waits until it has ended, which it does
    // as soon as a look in progress has returned: its object must outlive it.
    ~OfficeApplicationMonitor() override;

    // On the GUI thread, before start: the list to fill. The window it sits in is the check
    // window. The watcher stops on its own once the list has been destroyed. noneLeft runs on
    // the GUI thread soon after the list was found empty, unless the check window is gone.
    void setList(OfficeApplicationList* list, std::function<void()> noneLeft = {});

    void run() override;
    // From any thread: the watcher ends after the look in hand, or at once from its pause.
    void requestStop();

private:
    struct Shared;

    bool watchOnce();
    std::vector<OfficeApplicationRow> currentRows();
    void showOnList(std::vector<OfficeApplicationRow> rows);
    void pause();

    Listing m_listing;
    std::chrono::milliseconds m_interval;
    std::shared_ptr<Shared> m_shared;
};
