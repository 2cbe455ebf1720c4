#include "publishing/OfficeApplication.h"

#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "foundation/VaultrixRegistry.h"
#include "office/ComError.h"
#include "publishing/CurrentExceptionText.h"
#include "publishing/OfficeVersion.h"

namespace {

constexpr const char* wordProgId = "Word.Application";
constexpr const char* powerPointProgId = "PowerPoint.Application";
constexpr const char* excelProgId = "Excel.Application";
// ppAlertsNone: PowerPoint never waits for someone to answer.
constexpr int32_t powerPointAlertsNone = 1;

}

OfficeApplication::OfficeApplication(std::unique_ptr<office::OfficeAutomation> automation, int32_t wordCount,
    int32_t powerPointCount, int32_t excelCount)
    : m_automation(std::move(automation))
{
    logDebug("OfficeApplication#OfficeApplication,1,Start,OleInitialize,officeWord12Compatible=%d "
             "----------------",
        OfficeVersion().isOfficeWord12Convertible() ? 1 : 0);
    // The office suite behind the automation is this session's own, so there is nothing to
    // initialise per thread; a session without one cannot do anything.
    if (!m_automation)
        throw Exception(10, "OfficeApplication#OfficeApplication,2,OleInitialize hr=%x",
            static_cast<unsigned>(office::hresult::pointer));
    logDebug(
        "OfficeApplication#OfficeApplication,2,doc=%d ppt=%d xls=%d", wordCount, powerPointCount, excelCount);
    m_macroSecurityLevel = VaultrixRegistry().getMacroSecurityLevel();
    try {
        if (wordCount > 0)
            startWord(StartedBy::Session);
        if (powerPointCount > 0)
            startPowerPoint();
        if (excelCount > 0)
            startExcel(StartedBy::Session);
    } catch (const office::ComError& error) {
        // An office failure is an Exception too: it is caught first, because only it is logged
        // here; a failed start has logged its own line already.
        logError("OfficeApplication#OfficeApplication,9,Exception:%s", error.errorMessage().c_str());
        quitApplications();
        throw;
    } catch (const Exception&) {
        quitApplications();
        throw;
    }
    logDebug("OfficeApplication#OfficeApplication,10,End");
}

OfficeApplication::~OfficeApplication()
{
    logDebug("OfficeApplication#~OfficeApplication,1,Start");
    quitApplications();
    logDebug("OfficeApplication#~OfficeApplication,7,CoUninitialize----------------");
    logDebug("OfficeApplication#~OfficeApplication,8,End");
    // Ending the automation ends the session's office suite with it.
    m_automation.reset();
}

void OfficeApplication::quitApplications()
{
    try {
        if (m_word) {
            m_word->quit();
            m_word.reset();
        }
        if (m_powerPoint) {
            std::shared_ptr<office::PowerPointPresentations> presentations = m_powerPoint->presentations();
            if (presentations) {
                if (presentations->count() != 0) {
                    m_powerPoint->setWindowState(m_powerPointWindowState);
                    m_powerPoint.reset();
                } else {
                    m_powerPoint->quit();
                    m_powerPoint.reset();
                    logDebug("OfficeApplication#~OfficeApplication,3,PowerPoint.Quit()");
                }
            }
        }
        if (m_excel) {
            std::shared_ptr<office::ExcelWorkbooks> workbooks = m_excel->workbooks();
            if (workbooks && workbooks->count() == 0) {
                m_excel->quit();
                logDebug("OfficeApplication#~OfficeApplication,4,Excel.Quit()");
            }
            m_excel.reset();
        }
    } catch (const office::ComError& error) {
        logDebug("OfficeApplication#~OfficeApplication,5,_com_error code:%x  Message:%s",
            static_cast<unsigned>(error.code()), error.errorMessage().c_str());
    } catch (...) {
        logDebug("OfficeApplication#~OfficeApplication,6,Unknown Exception");
    }
    m_word.reset();
    m_powerPoint.reset();
    m_excel.reset();
}

void OfficeApplication::startWord(StartedBy starter)
{
    office::HResult result = m_automation->createApplication(wordProgId, m_word);
    if (office::failed(result) && starter == StartedBy::Session) {
        logError("OfficeApplication#OfficeApplication,3,Failed to create Word hr=%x",
            static_cast<unsigned>(result));
        throw Exception("OfficeApplication#OfficeApplication,3,Failed to create Word", 201);
    }
    if (office::failed(result)) {
        logError("OfficeApplication#createWordApplication,1,Failed to create Word hr=%x",
            static_cast<unsigned>(result));
        throw Exception("OfficeApplication#createWordApplication,1,Failed to create Word", 201);
    }
    m_word->setScreenUpdating(false);
    m_word->setDisplayAlerts(0);
    m_wordVersion = OfficeVersion().getWordVersion();
    if (m_wordVersion < 12)
        m_word->setAutomationSecurity(m_macroSecurityLevel);
    if (starter == StartedBy::Session)
        logDebug("OfficeApplication#OfficeApplication,4,OK,created a word object. version=%d", m_wordVersion);
    else
        logDebug(
            "OfficeApplication#createWordApplication,2,OK,created a word object. version=%d", m_wordVersion);
}

void OfficeApplication::startPowerPoint()
{
    office::HResult result = m_automation->createApplication(powerPointProgId, m_powerPoint);
    if (office::failed(result)) {
        logError("OfficeApplication#OfficeApplication,5,Failed to create PowerPoint hr=%x",
            static_cast<unsigned>(result));
        throw Exception("OfficeApplication#OfficeApplication,5,Failed to create PowerPoint", 201);
    }
    m_powerPointWindowState = m_powerPoint->windowState();
    m_powerPoint->setDisplayAlerts(powerPointAlertsNone);
    m_powerPointVersion = OfficeVersion().getWordVersion();
    if (m_powerPointVersion < 12)
        m_powerPoint->setAutomationSecurity(m_macroSecurityLevel);
    logDebug("OfficeApplication#OfficeApplication,6,OK,created a powerpoint object.version=%d",
        m_powerPointVersion);
}

void OfficeApplication::startExcel(StartedBy starter)
{
    office::HResult result = m_automation->createApplication(excelProgId, m_excel);
    if (office::failed(result) && starter == StartedBy::Session) {
        logError("OfficeApplication#OfficeApplication,7,Failed to create Excel hr=%x",
            static_cast<unsigned>(result));
        throw Exception("OfficeApplication#OfficeApplication,7,Failed to create Excel", 201);
    }
    if (office::failed(result)) {
        logError("OfficeApplication#createExcelApplication,1,Failed to create Excel hr=%x",
            static_cast<unsigned>(result));
        throw Exception("OfficeApplication#createExcelApplication,1,Failed to create Excel", 201);
    }
    m_excel->setVisible(false);
    m_excel->setDisplayAlerts(false);
    m_excel->setDisplayInfoWindow(false);
    m_excel->setInteractive(false);
    m_excel->setScreenUpdating(false);
    m_excelVersion = OfficeVersion().getWordVersion();
    if (m_excelVersion < 12)
        m_excel->setAutomationSecurity(m_macroSecurityLevel);
    if (starter == StartedBy::Session)
        logDebug(
            "OfficeApplication#OfficeApplication,8,OK,created an excel object. version=%d", m_excelVersion);
    else
        logDebug("OfficeApplication#createExcelApplication,2,OK,created an excel object. version=%d",
            m_excelVersion);
}

// Every document gets the configured macro security right before it is opened, whatever its
// format and the office's version: a macro-enabled 2007 document must not run its macros with
// the automation default.
void OfficeApplication::createWordApplication()
{
    if (!m_word)
        startWord(StartedBy::Document);
    m_word->setAutomationSecurity(m_macroSecurityLevel);
}

void OfficeApplication::createExcelApplication()
{
    if (!m_excel)
        startExcel(StartedBy::Document);
    m_excel->setAutomationSecurity(m_macroSecurityLevel);
}

void OfficeApplication::createPowerPointApplication()
{
    if (!m_powerPoint)
        startPowerPoint();
    m_powerPoint->setAutomationSecurity(m_macroSecurityLevel);
}

bool OfficeApplication::isOffice2007Convertible() const
{
    // Every office from 2007 on reads the 2007 formats, not only version 12 itself.
    return m_wordVersion >= 12 || m_powerPointVersion >= 12 || m_excelVersion >= 12;
}
