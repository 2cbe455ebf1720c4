#include "office/libreoffice/LibreOfficeExcelWorkbooks.h"

#include "office/libreoffice/LibreOfficeExcelWorkbook.h"

namespace office {

std::shared_ptr<ExcelWorkbook> LibreOfficeExcelWorkbooks::open(
    const std::string& fileName, std::optional<int32_t>, std::optional<bool>)
{
    std::shared_ptr<UnoDocument> document = m_state->open(fileName);
    if (!document)
        return nullptr;
    return std::make_shared<LibreOfficeExcelWorkbook>(std::move(document));
}

}
