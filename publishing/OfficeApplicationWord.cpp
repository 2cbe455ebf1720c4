// Publishing a Word document: open it hidden, refuse documents that ask to be opened read-only,
// save a copy in the target format beside it, close it.
#include "publishing/OfficeApplication.h"

#include "foundation/Log.h"
#include "platform/FileOperations.h"
#include "office/ComError.h"
#include "publishing/PublishFormat.h"

#include <string>

namespace {

// The save step: 0 only when the office reported success and the output is really there.
int32_t saveWordDocument(office::WordDocument& document, const char* path, int32_t command)
{
    try {
        PublishFormat format;
        if (!wordPublishFormat(command, format))
            throw office::ComError(office::hresult::invalidArgument, "no Word format for this command");
        std::string output = std::string(path) + format.suffix;
        logDebug("OfficeApplication#protectWord,8,Save %s format =%d", output.c_str(), format.formatCode);
        office::HResult status = document.saveAs(output, format.formatCode);
        if (status == 0 && platform::fileOperations::exists(output)) {
            logDebug("OfficeApplication#protectWord,8,Save: OK");
            return 0;
        }
        // Nobody is there to answer a message box, so the failure is only logged.
        logError("OfficeApplication#protectWord,9,Save: Error");
    } catch (const office::ComError& error) {
        logError("OfficeApplication#protectWord,10,Exception No=%x Message=%s",
            static_cast<unsigned>(error.code()), error.errorMessage().c_str());
    } catch (...) {
        logError("OfficeApplication#protectWord,11,Unknonw Exception, GetLastError=");
    }
    return 203;
}

}

int32_t OfficeApplication::protectWord(const char* path, int32_t command)
{
    logDebug("OfficeApplication#protectWord,1,Start %s", path);
    int32_t code = 1;
    try {
        createWordApplication(path);
        m_word->setVisible(false);
        std::shared_ptr<office::WordDocuments> documents = m_word->documents();
        logDebug("OfficeApplication#protectWord,2,Call Documents->Open %s", path);
        std::shared_ptr<office::WordDocument> document = documents ? documents->open(path) : nullptr;
        if (!document) {
            logError("OfficeApplication#protectWord,3,Failed to open a document");
            return 202;
        }
        if (document->readOnlyRecommended()) {
            document->close();
            logError("OfficeApplication#protectWord,4,Failed to open a document, because it's "
                     "ReadonlyRecommended");
            return 205;
        }
        code = saveWordDocument(*document, path, command);
        try {
            document->close();
        } catch (const office::ComError& error) {
            logError("OfficeApplication#protectWord,18,Exception No=%x Message=%s",
                static_cast<unsigned>(error.code()), error.errorMessage().c_str());
            code = 203;
        } catch (...) {
            logError("OfficeApplication#protectWord,19,Unknonw Exception");
            code = 203;
        }
    } catch (const office::ComError& error) {
        logError("OfficeApplication#protectWord,20,Exception No=%x Message=%s",
            static_cast<unsigned>(error.code()), error.errorMessage().c_str());
        code = 1000;
    }
    return code;
}
