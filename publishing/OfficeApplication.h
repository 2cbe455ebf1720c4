#pragma once

#include "office/ExcelApplication.h"
#include "office/OfficeAutomation.h"
#include "office/PowerPointApplication.h"
#include "office/WordApplication.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class DocumentBackup;
class PublishingNotifier;

// The office session of one publishing job: it starts the applications that the job's documents
// need, unattended, publishes documents one at a time on the job's thread, and quits what it
// started when it is destroyed. Everything it does to the user's files goes through protect,
// which never leaves a document other than it found it.
class OfficeApplication {
public:
    // Starts exactly the applications whose count is above 0, through automation, which the
    // session owns from here on. Throws Exception (201: an application could not be started) or
    // office::ComError (an application could not be configured).
    OfficeApplication(std::unique_ptr<office::OfficeAutomation> automation, int32_t wordCount,
        int32_t powerPointCount, int32_t excelCount);
    OfficeApplication(const OfficeApplication&) = delete;
    OfficeApplication& operator=(const OfficeApplication&) = delete;
    // Quits Word, and PowerPoint and Excel when they hold nothing else open. Never throws.
    ~OfficeApplication();

    // Makes sure the application runs and sets its macro security for the next document.
    void createWordApplication();
    void createExcelApplication();
    void createPowerPointApplication();

    // Publishes one document in the format of command; 0 when the output was written.
    int32_t protect(const char* path, int32_t command);
    int32_t protectWord(const char* path, int32_t command);
    int32_t protectExcel(const char* path, int32_t command);
    int32_t protectPowerPoint(const char* path, int32_t command);

    // 1 when the file is writable afterwards (changed tells whether this made it so), else 0;
    // attributes receives the permission bits as they were.
    int32_t setNormalFileAttribute(const char* path, uint32_t& attributes, bool& changed);
    // Up to three attempts; 1 when the file is gone.
    int32_t doDeleteFile(const char* path);

    // Where a publisher tells the user something; not owned, null: nobody is told.
    void setNotifier(PublishingNotifier* notifier) { m_notifier = notifier; }

    // True when one of the started applications can read and write the 2007 formats.
    bool isOffice2007Convertible() const;

    int32_t getWordVersion() const { return m_wordVersion; }
    int32_t getPowerPointVersion() const { return m_powerPointVersion; }
    int32_t getMacroSecurityLevel() const { return m_macroSecurityLevel; }

private:
    // Who starts an application decides the texts of its log lines and of its failure.
    enum class StartedBy { Session, Document };

    void startWord(StartedBy starter);
    void startPowerPoint();
    void startExcel(StartedBy starter);
    void quitApplications();
    // Puts the document back from its backup after a failed publication; returns the new code.
    int32_t restoreFromBackup(const std::string& path, const DocumentBackup& backup, int32_t code);
    int32_t discardBackup(const std::string& backup);

    std::unique_ptr<office::OfficeAutomation> m_automation;
    std::shared_ptr<office::WordApplication> m_word;
    std::shared_ptr<office::PowerPointApplication> m_powerPoint;
    std::shared_ptr<office::ExcelApplication> m_excel;
    int32_t m_powerPointWindowState = 0;
    int32_t m_wordVersion = 0;
    int32_t m_powerPointVersion = 0;
    int32_t m_excelVersion = 0;
    int32_t m_macroSecurityLevel = 3;
    PublishingNotifier* m_notifier = nullptr;
};
