#include "platform/office/LibreOfficeExcelWorkbooks.h"

#include "platform/office/LibreOfficeExcelWorkbook.h"

namespace platform {

std::shared_ptr<ExcelWorkbook> LibreOfficeExcelWorkbooks::open(
    const std::string& fileName, std::optional<int32_t>, std::optional<bool>)
{
    std::shared_ptr<UnoDocument> document = m_state->open(fileName);
    if (!document)
        return nullptr;
    return std::make_shared<LibreOfficeExcelWorkbook>(std::move(document));
}

}
