#pragma once

#include "office/OfficeAutomation.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// An office that does what a test tells it: it records every call in order, starts or refuses
// each application, and opens, refuses, saves or fails each document as scripted. Saving writes
// a small output file under the requested name, as a real office would.
struct OfficeScript {
    struct Document {
        bool openReturnsNothing = false;
        bool readOnlyRecommended = false;
        office::HResult saveStatus = 0;
        bool saveThrows = false;
        bool saveWritesOutput = true;
        bool closeThrows = false;
        office::HResult closeStatus = 0;
    };

    // progId -> result of createInstance; absent means success.
    std::map<std::string, office::HResult> createResults;
    // The application whose configuration calls throw, by ProgID.
    std::string failingConfiguration;
    std::map<std::string, Document> documents;
    // Runs when a document is opened, with its path (a test posts Cancel from here).
    std::function<void(const std::string&)> onOpen;
    int powerPointOpenPresentations = 0;
    int excelOpenWorkbooks = 0;

    std::vector<std::string> calls;
    std::atomic<int> automationsCreated { 0 };
    std::atomic<int> automationsDestroyed { 0 };
    // Sessions side by side call from threads of their own: the calls and the documents are
    // taken under this lock.
    mutable std::mutex mutex;

    void note(const std::string& call);
    Document& document(const std::string& path);

    bool called(const std::string& call) const;
    int count(const std::string& call) const;
    // Position of the first call that starts with prefix, or -1.
    int indexOf(const std::string& prefix) const;
};

class ScriptedAutomation : public office::OfficeAutomation {
public:
    explicit ScriptedAutomation(std::shared_ptr<OfficeScript> script);
    ~ScriptedAutomation() override;

    office::HResult createInstance(
        const std::string& progId, std::shared_ptr<office::AutomationApplication>& application) override;

private:
    std::shared_ptr<OfficeScript> m_script;
};
