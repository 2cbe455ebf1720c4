#include "office/libreoffice/LibreOfficeExcelApplication.h"

#include "office/libreoffice/LibreOfficeExcelWorkbooks.h"

namespace office {

LibreOfficeExcelApplication::LibreOfficeExcelApplication(std::shared_ptr<LibreOfficeSuite> suite)
    : m_state(std::make_shared<LibreOfficeApplicationState>(std::move(suite), DocumentFamily::Excel))
{
}

std::shared_ptr<ExcelWorkbooks> LibreOfficeExcelApplication::workbooks()
{
    m_state->checkRunning();
    return std::make_shared<LibreOfficeExcelWorkbooks>(m_state);
}

}
