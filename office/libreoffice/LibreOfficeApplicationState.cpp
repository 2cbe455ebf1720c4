#include "office/libreoffice/LibreOfficeApplicationState.h"

#include "office/ComError.h"
#include "office/libreoffice/ExportTarget.h"
#include "office/libreoffice/LibreOfficeSuite.h"
#include "office/libreoffice/UnoDocument.h"

#include <algorithm>
#include <sys/stat.h>

namespace office {

LibreOfficeApplicationState::LibreOfficeApplicationState(
    std::shared_ptr<LibreOfficeSuite> suite, DocumentFamily family)
    : m_suite(std::move(suite))
    , m_family(family)
{
    m_suite->addClient();
}

LibreOfficeApplicationState::~LibreOfficeApplicationState()
{
    if (!m_quit)
        m_suite->removeClient();
}

void LibreOfficeApplicationState::setAutomationSecurity(int32_t security)
{
    checkRunning();
    m_automationSecurity = security;
}

void LibreOfficeApplicationState::checkRunning() const
{
    if (m_quit)
        throw ComError(hresult::disconnected, "the application was quit");
}

std::shared_ptr<UnoDocument> LibreOfficeApplicationState::open(const std::string& fileName)
{
    checkRunning();
    struct stat status { };
    if (stat(fileName.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        throw ComError(hresult::fileNotFound, "no document " + fileName);
    std::shared_ptr<UnoDocument> document
        = UnoDocument::load(m_suite, fileName, m_family, macroExecutionModeFor(m_automationSecurity));
    if (document) {
        std::erase_if(m_documents, [](const std::weak_ptr<UnoDocument>& entry) {
            auto open = entry.lock();
            return !open || open->isClosed();
        });
        m_documents.push_back(document);
    }
    return document;
}

int32_t LibreOfficeApplicationState::openCount()
{
    checkRunning();
    return static_cast<int32_t>(
        std::count_if(m_documents.begin(), m_documents.end(), [](const std::weak_ptr<UnoDocument>& entry) {
            auto open = entry.lock();
            return open && !open->isClosed();
        }));
}

void LibreOfficeApplicationState::quit()
{
    checkRunning();
    for (auto& entry : m_documents) {
        if (auto open = entry.lock()) {
            try {
                open->close();
            } catch (const ComError&) {
                // A document of an office that has gone is closed already.
            }
        }
    }
    m_documents.clear();
    m_quit = true;
    m_suite->removeClient();
}

}
