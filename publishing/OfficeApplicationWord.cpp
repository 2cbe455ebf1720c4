// Publishing a Word document: open it hidden, refuse documents that ask to be opened read-only,
// save a copy in the target format beside it, close it.
#include "publishing/OfficeApplication.h"

#include "foundation/Log.h"
#include "publishing/DocumentPublisher.h"
#include "publishing/PublishingNotifier.h"

namespace {

// A close that throws fails the publication with 203; a failure to start Word leaves protectWord
// and is reported by protect. Word logs no line for a close or its failure status, and no line
// before saving.
constexpr DocumentPublisher::Profile wordProfile = {
    .format = wordPublishFormat,
    .noFormat = "no Word format for this command",
    .notOpenedCode = 202,
    .readOnlyCode = 205,
    .saveFailedCode = 203,
    .readOnlyCheck = DocumentPublisher::ReadOnlyCheck::Asks,
    .closeThrow = DocumentPublisher::CloseThrow::FailsPublication,
    .closeFailure = DocumentPublisher::CloseFailure::KeepsCode,
    .otherFailure = DocumentPublisher::OtherFailure::PassesOn,
    .startLine = "OfficeApplication#protectWord,1,Start %s",
    .notOpenedLine = "OfficeApplication#protectWord,3,Failed to open a document",
    .readOnlyLine
    = "OfficeApplication#protectWord,4,Failed to open a document, because it's ReadonlyRecommended",
    .openedLine = nullptr,
    .savingLine = nullptr,
    .commandLine = nullptr,
    .saveLine = "OfficeApplication#protectWord,8,Save %s format =%d",
    .savedLine = "OfficeApplication#protectWord,8,Save: OK",
    .saveFailedLine = "OfficeApplication#protectWord,9,Save: Error",
    .saveExceptionLine = "OfficeApplication#protectWord,10,Exception No=%x Message=%s",
    .saveUnknownLine = "OfficeApplication#protectWord,11,Unknonw Exception, GetLastError=",
    .closeExceptionLine = "OfficeApplication#protectWord,18,Exception No=%x Message=%s",
    .closeUnknownLine = "OfficeApplication#protectWord,19,Unknonw Exception",
    .closedLine = nullptr,
    .closeFailedLine = nullptr,
    .failureLine = "OfficeApplication#protectWord,20,Exception No=%x Message=%s",
};

}

int32_t OfficeApplication::protectWord(const char* path, int32_t command)
{
    std::shared_ptr<office::WordDocument> document;
    DocumentPublisher::Calls calls;
    calls.open = [&] {
        createWordApplication();
        m_word->setVisible(false);
        std::shared_ptr<office::WordDocuments> documents = m_word->documents();
        logDebug("OfficeApplication#protectWord,2,Call Documents->Open %s", path);
        document = documents ? documents->open(path) : nullptr;
        return document != nullptr;
    };
    calls.readOnlyRecommended = [&] { return document->readOnlyRecommended(); };
    calls.saveAs = [&](const std::string& output, int32_t formatCode) {
        office::HResult status = document->saveAs(output, formatCode);
        // Word gave a status instead of an error: the user is told, and the job waits until the
        // box is dismissed before the failure is logged.
        if (status != 0 && m_notifier)
            m_notifier->showMessage("Error", "Error");
        return status;
    };
    calls.close = [&] { return document->close(); };
    return DocumentPublisher(wordProfile, std::move(calls)).publish(path, command);
}
