#pragma once

#include "office/libreoffice/ImportFilter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace office {

class LibreOfficeSuite;
class UnoDocument;

// What one application object (Word, Excel or PowerPoint) keeps: the shared office, the
// documents it opened, its macro security and whether it was quit. The collections and
// documents handed out refer to it, as COM objects refer to their application.
class LibreOfficeApplicationState {
public:
    LibreOfficeApplicationState(std::shared_ptr<LibreOfficeSuite> suite, DocumentFamily family);
    LibreOfficeApplicationState(const LibreOfficeApplicationState&) = delete;
    LibreOfficeApplicationState& operator=(const LibreOfficeApplicationState&) = delete;
    // Gives up this application's hold on the office.
    ~LibreOfficeApplicationState();

    const std::shared_ptr<LibreOfficeSuite>& suite() const { return m_suite; }
    void setAutomationSecurity(int32_t security);
    int32_t automationSecurity() const { return m_automationSecurity; }

    // Throws ComError (disconnected) once the application was quit.
    void checkRunning() const;
    // Loads a document for this application under its macro security; none when the file is
    // not of a format this application opens. Throws ComError.
    std::shared_ptr<UnoDocument> open(const std::string& fileName);
    int32_t openCount();
    // Closes every document this application opened and ends its hold on the office.
    void quit();

private:
    std::shared_ptr<LibreOfficeSuite> m_suite;
    DocumentFamily m_family;
    std::vector<std::weak_ptr<UnoDocument>> m_documents;
    // Until told otherwise, nothing in an unattended office runs macros.
    int32_t m_automationSecurity = 3;
    bool m_quit = false;
};

}
