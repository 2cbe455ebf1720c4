#pragma once

#include <memory>
#include <string>

class DocumentBackup;
class OfficeApplication;
class StepClock;

// Pressling's own steps of publishing one document, timed apart from the office: the same public
// functions that OfficeApplication::protect calls, in its order, with the office's work left out.
// Each document's steps go to a slot of its own in the clock.
class OwnStepTimer {
public:
    explicit OwnStepTimer(std::shared_ptr<StepClock> clock);
    ~OwnStepTimer();

    // False when the document would not have reached the office (refused by a check, or its
    // backup could not be made) or its backup could not be removed; its times are kept all the
    // same.
    bool timeDocument(const std::string& path);

private:
    bool checkAndBackUp(const std::string& path, DocumentBackup& backup);
    void makeWritableAndBack(const std::string& path);
    bool removeBackup(const std::string& backup);

    std::shared_ptr<StepClock> m_clock;
    // A session without applications, for the members that protect calls on itself.
    std::unique_ptr<OfficeApplication> m_session;
};
