#include "office/libreoffice/LibreOfficeExcelWorkbook.h"

#include "office/ComError.h"

namespace office {

HResult LibreOfficeExcelWorkbook::saveAs(const std::string& fileName, std::optional<int32_t> fileFormat,
    std::optional<std::string> password, std::optional<std::string> writeResPassword,
    std::optional<bool> readOnlyRecommended, std::optional<bool> createBackup, std::optional<int32_t>)
{
    // None of the export targets can carry a password or a recommendation; asking for one must
    // not quietly produce an unprotected file.
    if ((password && !password->empty()) || (writeResPassword && !writeResPassword->empty())
        || readOnlyRecommended.value_or(false))
        throw ComError(
            hresult::invalidArgument, "passwords and read-only recommendations cannot be exported");
    // Backups are of the saved file in place, which never happens here.
    (void)createBackup;
    int32_t code = fileFormat.value_or(0);
    return m_access.saveAs(fileName, excelExportTarget(code), code);
}

HResult LibreOfficeExcelWorkbook::close(std::optional<bool>, std::optional<std::string>, std::optional<bool>)
{
    return m_access.close();
}

}
