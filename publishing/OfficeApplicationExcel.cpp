// Publishing an Excel workbook, the counterpart of the Word publisher.
#include "publishing/OfficeApplication.h"

#include "foundation/Log.h"
#include "publishing/DocumentPublisher.h"

namespace {

// SaveAs access mode xlExclusive.
constexpr int32_t exclusiveAccess = 3;

// A workbook that cannot be closed after saving is only logged, and a close that throws ends the
// publication as any other office failure does; a failure to start Excel keeps the provisional
// code.
constexpr DocumentPublisher::Profile excelProfile = {
    .format = excelPublishFormat,
    .noFormat = "no Excel format for this command",
    .notOpenedCode = 402,
    .readOnlyCode = 407,
    .saveFailedCode = 403,
    .readOnlyCheck = DocumentPublisher::ReadOnlyCheck::Asks,
    .closeThrow = DocumentPublisher::CloseThrow::PassesOn,
    .closeFailure = DocumentPublisher::CloseFailure::KeepsCode,
    .otherFailure = DocumentPublisher::OtherFailure::KeepsProvisionalCode,
    .startLine = "OfficeApplication#protectExcel,1,Start %s",
    .notOpenedLine = "OfficeApplication#protectExcel,3,Failed to open an excel file.",
    .readOnlyLine = "OfficeApplication#protectExcel,4,Failed to open an excel file.",
    .openedLine = "OfficeApplication#protectExcel,5,Opened a file %s",
    .savingLine = "OfficeApplication#protectExcel,7,Saving",
    .commandLine = "OfficeApplication#protectExcel,8,format=%d",
    .saveLine = "OfficeApplication#protectExcel,9,SaveAs %s",
    .savedLine = "OfficeApplication#protectExcel,11,Save: OK",
    .saveFailedLine = "OfficeApplication#protectExcel,12,Save: Failed",
    .saveExceptionLine = "OfficeApplication#protectExcel,13,Save: Exception No=%x Message%s",
    .saveUnknownLine = "OfficeApplication#protectExcel,14,Save: Unknown Exception",
    .closeExceptionLine = nullptr,
    .closeUnknownLine = nullptr,
    .closedLine = "OfficeApplication#protectExcel,19,OK, closed currentWorkBook",
    .closeFailedLine = "OfficeApplication#protectExcel,20,Failed to close currentWorkBook",
    .failureLine = "OfficeApplication#protectExcel,21,Exception No=%x Message=%s",
};

}

int32_t OfficeApplication::protectExcel(const char* path, int32_t command)
{
    std::shared_ptr<office::ExcelWorkbook> workbook;
    DocumentPublisher::Calls calls;
    calls.open = [&] {
        createExcelApplication();
        m_excel->setVisible(false);
        std::shared_ptr<office::ExcelWorkbooks> workbooks = m_excel->workbooks();
        logDebug("OfficeApplication#protectExcel,2,Call WorkBooks Open %s", path);
        workbook = workbooks ? workbooks->open(path) : nullptr;
        return workbook != nullptr;
    };
    calls.readOnlyRecommended = [&] { return workbook->readOnlyRecommended(); };
    calls.saveAs = [&](const std::string& output, int32_t formatCode) {
        return workbook->saveAs(
            output, formatCode, std::string(), std::string(), false, false, exclusiveAccess);
    };
    calls.close = [&] { return workbook->close(); };
    return DocumentPublisher(excelProfile, std::move(calls)).publish(path, command);
}
