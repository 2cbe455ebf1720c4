// Publishing an Excel workbook, the counterpart of the Word publisher.
#include "publishing/OfficeApplication.h"

#include "foundation/Log.h"
#include "platform/FileOperations.h"
#include "office/ComError.h"
#include "publishing/PublishFormat.h"

#include <string>

namespace {

// SaveAs access mode xlExclusive.
constexpr int32_t exclusiveAccess = 3;

int32_t saveWorkbook(office::ExcelWorkbook& workbook, const char* path, int32_t command)
{
    try {
        PublishFormat format;
        if (!excelPublishFormat(command, format))
            throw office::ComError(office::hresult::invalidArgument, "no Excel format for this command");
        std::string output = std::string(path) + format.suffix;
        logDebug("OfficeApplication#protectExcel,8,format=%d", command);
        logDebug("OfficeApplication#protectExcel,9,SaveAs %s", output.c_str());
        office::HResult status = workbook.saveAs(
            output, format.formatCode, std::string(), std::string(), false, false, exclusiveAccess);
        if (status == 0 && platform::fileOperations::exists(output)) {
            logDebug("OfficeApplication#protectExcel,11,Save: OK");
            return 0;
        }
        logError("OfficeApplication#protectExcel,12,Save: Failed");
    } catch (const office::ComError& error) {
        logError("OfficeApplication#protectExcel,13,Save: Exception No=%x Message%s",
            static_cast<unsigned>(error.code()), error.errorMessage().c_str());
    } catch (...) {
        logError("OfficeApplication#protectExcel,14,Save: Unknown Exception");
    }
    return 403;
}

}

int32_t OfficeApplication::protectExcel(const char* path, int32_t command)
{
    logDebug("OfficeApplication#protectExcel,1,Start %s", path);
    int32_t code = 1;
    try {
        createExcelApplication(path);
        m_excel->setVisible(false);
        std::shared_ptr<office::ExcelWorkbooks> workbooks = m_excel->workbooks();
        logDebug("OfficeApplication#protectExcel,2,Call WorkBooks Open %s", path);
        std::shared_ptr<office::ExcelWorkbook> workbook = workbooks ? workbooks->open(path) : nullptr;
        if (!workbook) {
            logError("OfficeApplication#protectExcel,3,Failed to open an excel file.");
            return 402;
        }
        if (workbook->readOnlyRecommended()) {
            workbook->close();
            logError("OfficeApplication#protectExcel,4,Failed to open an excel file.");
            return 407;
        }
        logDebug("OfficeApplication#protectExcel,5,Opened a file %s", path);
        logDebug("OfficeApplication#protectExcel,7,Saving");
        code = saveWorkbook(*workbook, path, command);
        if (workbook->close() == 0)
            logDebug("OfficeApplication#protectExcel,19,OK, closed currentWorkBook");
        else
            logError("OfficeApplication#protectExcel,20,Failed to close currentWorkBook");
    } catch (const office::ComError& error) {
        logError("OfficeApplication#protectExcel,21,Exception No=%x Message=%s",
            static_cast<unsigned>(error.code()), error.errorMessage().c_str());
        code = 1000;
    } catch (...) {
        // Excel could not be started: the provisional code stands.
    }
    return code;
}
