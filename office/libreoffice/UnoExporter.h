#pragma once

#include "office/libreoffice/ExportTarget.h"
#include "office/libreoffice/StoredFileCheck.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <functional>
#include <string>
#include <vector>

namespace office {

class ScratchFolder;
class UnoDocument;

// Writes one loaded document in one target format: LibreOffice's export filter where it has
// one, our own writers from its HTML or PDF where it has none, and the slides' text for
// presentations. Text targets pin their encoding and line ends instead of taking the locale's.
// What is published can be read by everyone: PDFs are tagged (headings, lists, tables, pictures
// with their descriptions) and carry the document's language and title, and web pages name
// their language, title and every picture's text.
class UnoExporter {
public:
    // pdfArchivePart: the part of PDF/A (1 to 3) that PDFs follow, or 0 for plain PDF.
    explicit UnoExporter(UnoDocument& document, int pdfArchivePart = 0)
        : m_document(document)
        , m_pdfArchivePart(pdfArchivePart)
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
    void storeInPlace(const std::string& fileName, const char* filter, const std::string& options,
        const css::uno::Sequence<css::beans::PropertyValue>& filterData, Form form,
        const std::function<void(const std::string&)>& finish = {});
    // Gives the HTML page the office wrote the document's language, a title and its pictures' texts.
    void labelPage(const std::string& page);
    // Throws ComError when what LibreOffice stored in scratch, with name as the output of the
    // given form, is empty or incomplete.
    static void checkStored(const ScratchFolder& scratch, const std::string& name, Form form);

    UnoDocument& m_document;
    int m_pdfArchivePart;
};

}
