#pragma once

#include "office/libreoffice/ExportTarget.h"
#include "office/libreoffice/StoredFileCheck.h"

#include <com/sun/star/lang/XComponent.hpp>

#include <functional>
#include <string>
#include <vector>

namespace office {

class ScratchFolder;
class UnoDocument;

// Writes one loaded document in one target format: LibreOffice's export filter where it has
// one, our own writers from its HTML or PDF where it has none, and the slides' text for
// presentations. Text targets pin their encoding and line ends instead of taking the locale's.
class UnoExporter {
public:
    explicit UnoExporter(UnoDocument& document)
        : m_document(document)
    {
    }

    // Throws ComError. fileName is replaced only when the export succeeded; otherwise what was
    // there before (a file, a link, nothing) is left as it was.
    void store(const std::string& fileName, ExportTarget target);

    static std::vector<std::string> slideTexts(const css::uno::Reference<css::lang::XComponent>& component);

private:
    void storeHtml(const std::string& fileName);
    void storePdf(const std::string& fileName);
    void storeText(const std::string& fileName, bool unicode);
    void storeSlideText(const std::string& fileName, bool unicode);
    void storeWebArchive(const std::string& fileName);
    void storeXps(const std::string& fileName);
    // Stores through LibreOffice's filter and puts the result in place of fileName; finish, when
    // given, works on the stored file before that.
    using Form = storedFileCheck::Form;
    void storeInPlace(const std::string& fileName, const char* filter, const std::string& options, Form form,
        const std::function<void(const std::string&)>& finish = {});
    // Throws ComError when what LibreOffice stored in scratch, with name as the output of the
    // given form, is empty or incomplete.
    static void checkStored(const ScratchFolder& scratch, const std::string& name, Form form);

    UnoDocument& m_document;
};

}
