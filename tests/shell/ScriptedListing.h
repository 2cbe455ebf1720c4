#pragma once

#include "shell/OfficeApplicationMonitor.h"

#include <chrono>
#include <memory>
#include <mutex>

// The office applications a watcher finds, pass by pass, as a test scripts them: each call of
// the listing takes the next answer, and the last one stays. The listing may outlive this object.
class ScriptedListing {
public:
    using Answer = std::optional<std::vector<office::OfficeInstance>>;

    explicit ScriptedListing(std::vector<Answer> answers);

    OfficeApplicationMonitor::Listing listing() const;
    // From now on every pass finds answer.
    void finishWith(Answer answer);
    // How often the listing was called so far.
    int calls() const;
    // Serves the GUI thread's events until the listing was called at least count times.
    bool waitForCalls(int count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

private:
    struct State {
        std::mutex mutex;
        std::vector<Answer> answers;
        int calls = 0;
    };
    std::shared_ptr<State> m_state;
};

// An office application as the platform reports it.
office::OfficeInstance officeWindow(const std::string& title, const std::string& account = "alice",
    const std::string& domain = "desk7", const std::string& documentExtension = ".doc");

// No office application is open.
inline const ScriptedListing::Answer noOffices = std::vector<office::OfficeInstance> {};
