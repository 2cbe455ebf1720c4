#include "office/libreoffice/UnoExporter.h"

#include "formats/webarchive/WebArchiveWriter.h"
#include "formats/webarchive/WebPageLabels.h"
#include "formats/xps/XpsWriter.h"
#include "office/ComError.h"
#include "office/libreoffice/ScratchFolder.h"
#include "office/libreoffice/StoredFileCheck.h"
#include "office/libreoffice/TextForm.h"
#include "office/libreoffice/UnoDocument.h"
#include "office/libreoffice/UnoText.h"
#include "platform/FileOperations.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShapeDescriptor.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/table/XTable.hpp>
#include <com/sun/star/text/XText.hpp>

#include <cstring>
#include <filesystem>

using namespace css;

namespace office {

namespace {

using Kind = UnoDocument::Kind;
namespace files = platform::fileOperations;

// The text export of a document is read back whole to normalize it. No document's text comes
// near this, but the bound keeps a runaway export from taking all memory.
constexpr uint64_t largestTextExport = 1ull << 30;
// A text file that did not exist before gets the permissions a new file usually has.
constexpr uint32_t newFileMode = 0644;

// Calc's text export options: tab between fields, quotes only where a field needs them, the
// given character set, cells as shown, the sheet in view.
std::string calcTextOptions(bool unicode)
{
    return std::string("9,34,") + (unicode ? "65535" : "76") + ",1,,0,false,true,true,false,false";
}

const char* htmlFilter(Kind kind)
{
    switch (kind) {
    case Kind::Spreadsheet:
        return "HTML (StarCalc)";
    case Kind::Presentation:
        return "impress_html_Export";
    case Kind::Text:
        break;
    }
    return "HTML (StarWriter)";
}

// Tagged, so that a screen reader finds headings, lists, tables and the pictures' descriptions,
// and a viewer shows the document's title rather than the file's name. A PDF/A part makes the
// office embed every font and leave out what that part forbids.
uno::Sequence<beans::PropertyValue> pdfFilterData(int archivePart)
{
    uno::Sequence<beans::PropertyValue> data = properties({ property("UseTaggedPDF", uno::Any(true)),
        property("DisplayPDFDocumentTitle", uno::Any(true)), property("ExportBookmarks", uno::Any(true)) });
    if (archivePart >= 1 && archivePart <= 3) {
        data.realloc(data.getLength() + 1);
        data.getArray()[data.getLength() - 1]
            = property("SelectPdfVersion", uno::Any(sal_Int32(archivePart)));
    }
    return data;
}

const char* pdfFilter(Kind kind)
{
    switch (kind) {
    case Kind::Spreadsheet:
        return "calc_pdf_Export";
    case Kind::Presentation:
        return "impress_pdf_Export";
    case Kind::Text:
        break;
    }
    return "writer_pdf_Export";
}

// Puts change(bytes) in place of what the office wrote at path, in a folder of ours; the file
// keeps the permissions the office gave it.
void rewrite(const std::string& path, const std::function<std::string(const std::string&)>& change)
{
    std::string bytes;
    if (!files::readAll(path, bytes, largestTextExport))
        throw ComError(hresult::fail, "LibreOffice wrote nothing readable to " + path);
    const std::string changed = change(bytes);
    int error = 0;
    if (changed != bytes
        && !files::writeFileAtomically(path, changed, files::modeOrDefault(path, newFileMode), error))
        throw ComError(hresult::accessDenied, "cannot write " + path + ": " + std::strerror(error));
}

void collectText(const uno::Reference<drawing::XShapes>& shapes, std::string& text);

void appendText(std::string& text, const std::string& piece)
{
    if (piece.empty())
        return;
    if (!text.empty())
        text += "\n";
    text += piece;
}

void collectShapeText(const uno::Reference<uno::XInterface>& shape, std::string& text)
{
    uno::Reference<drawing::XShapes> group(shape, uno::UNO_QUERY);
    if (group.is()) {
        collectText(group, text);
        return;
    }
    // Tables do not list their service; their shape type names them.
    uno::Reference<drawing::XShapeDescriptor> descriptor(shape, uno::UNO_QUERY);
    if (descriptor.is() && descriptor->getShapeType() == "com.sun.star.drawing.TableShape") {
        uno::Reference<beans::XPropertySet> properties(shape, uno::UNO_QUERY);
        uno::Reference<table::XTable> table;
        if (properties.is())
            properties->getPropertyValue(rtl::OUString("Model")) >>= table;
        if (table.is()) {
            for (sal_Int32 row = 0; row < table->getRowCount(); ++row) {
                std::string line;
                for (sal_Int32 column = 0; column < table->getColumnCount(); ++column) {
                    uno::Reference<text::XText> cell(table->getCellByPosition(column, row), uno::UNO_QUERY);
                    if (column > 0)
                        line += "\t";
                    if (cell.is())
                        line += toUtf8(cell->getString());
                }
                appendText(text, line);
            }
        }
        return;
    }
    uno::Reference<text::XText> shapeText(shape, uno::UNO_QUERY);
    if (shapeText.is())
        appendText(text, toUtf8(shapeText->getString()));
}

void collectText(const uno::Reference<drawing::XShapes>& shapes, std::string& text)
{
    for (sal_Int32 index = 0; index < shapes->getCount(); ++index) {
        uno::Reference<uno::XInterface> shape;
        shapes->getByIndex(index) >>= shape;
        if (shape.is())
            collectShapeText(shape, text);
    }
}

}

void UnoExporter::store(const std::string& fileName, ExportTarget target)
{
    switch (target) {
    case ExportTarget::Html:
        return storeHtml(fileName);
    case ExportTarget::WebArchive:
        return storeWebArchive(fileName);
    case ExportTarget::Text:
    case ExportTarget::UnicodeText:
        if (m_document.kind() == Kind::Presentation)
            return storeSlideText(fileName, target == ExportTarget::UnicodeText);
        return storeText(fileName, target == ExportTarget::UnicodeText);
    case ExportTarget::Pdf:
        return storePdf(fileName);
    case ExportTarget::Xps:
        return storeXps(fileName);
    }
}

void UnoExporter::storeHtml(const std::string& fileName)
{
    storeInPlace(fileName, htmlFilter(m_document.kind()), "", {}, Form::HtmlPage,
        [this](const std::string& written) { labelPage(written); });
}

void UnoExporter::labelPage(const std::string& page)
{
    const DocumentLabels document = m_document.labels();
    formats::webarchive::PageLabels labels { document.language, document.title, document.pictureTexts };
    if (labels.title.empty())
        labels.title = std::filesystem::path(m_document.path()).filename().string();
    rewrite(
        page, [&labels](const std::string& html) { return formats::webarchive::labelledPage(html, labels); });
}

void UnoExporter::storePdf(const std::string& fileName)
{
    storeInPlace(fileName, pdfFilter(m_document.kind()), "", pdfFilterData(m_pdfArchivePart), Form::Pdf);
}

void UnoExporter::storeText(const std::string& fileName, bool unicode)
{
    // Presentations have their text gathered slide by slide instead (storeSlideText).
    const bool spreadsheet = m_document.kind() == Kind::Spreadsheet;
    const char* filter = spreadsheet ? "Text - txt - csv (StarCalc)" : "Text (encoded)";
    std::string options
        = spreadsheet ? calcTextOptions(unicode) : (unicode ? "UNICODE,CRLF,," : "UTF8,CRLF,,");
    storeInPlace(fileName, filter, options, {}, Form::Text, [unicode](const std::string& written) {
        // The filters leave the line ends of some content (Calc always writes LF) and the byte
        // order mark to the platform; the file is brought to the one form the readers expect.
        rewrite(written, [unicode](const std::string& bytes) {
            return unicode ? textForm::normalizedUtf16Le(bytes) : textForm::utf8WithCrlf(bytes);
        });
    });
}

void UnoExporter::storeSlideText(const std::string& fileName, bool unicode)
{
    std::string text;
    for (const std::string& slide : m_document.slideTexts()) {
        text += slide;
        text += "\n\n";
    }
    std::string bytes = unicode ? textForm::utf16LeWithBom(text) : textForm::utf8WithCrlf(text);
    int error = 0;
    if (!files::writeFileAtomically(fileName, bytes, newFileMode, error))
        throw ComError(hresult::accessDenied, "cannot write " + fileName + ": " + std::strerror(error));
}

void UnoExporter::storeWebArchive(const std::string& fileName)
{
    ScratchFolder scratch(fileName);
    if (!scratch.create())
        throw ComError(hresult::accessDenied, scratch.error());
    std::string page = scratch.file("page.html");
    m_document.storeToUrl(page, htmlFilter(m_document.kind()), "");
    checkStored(scratch, "page.html", Form::HtmlPage);
    labelPage(page);
    formats::WebArchiveWriter writer;
    if (!writer.write(page, fileName))
        throw ComError(
            hresult::fail, "cannot write the web archive " + fileName + ": " + writer.errorMessage());
}

void UnoExporter::storeXps(const std::string& fileName)
{
    ScratchFolder scratch(fileName);
    if (!scratch.create())
        throw ComError(hresult::accessDenied, scratch.error());
    std::string pdf = scratch.file("document.pdf");
    m_document.storeToUrl(pdf, pdfFilter(m_document.kind()), "");
    checkStored(scratch, "document.pdf", Form::Pdf);
    const DocumentLabels labels = m_document.labels();
    formats::XpsWriter writer;
    writer.setDocumentProperties(labels.title, labels.language);
    if (!writer.write(pdf, fileName))
        throw ComError(
            hresult::fail, "cannot write the XPS document " + fileName + ": " + writer.errorMessage());
}

void UnoExporter::storeInPlace(const std::string& fileName, const char* filter, const std::string& options,
    const uno::Sequence<beans::PropertyValue>& filterData, Form form,
    const std::function<void(const std::string&)>& finish)
{
    // LibreOffice writes into a scratch folder beside the target, under the target's own name,
    // so that the images an HTML page refers to get the names they would have beside it. Only a
    // store that succeeded is moved into place, by renames that replace what is there (a file
    // or a link) without writing through it: a failed or interrupted store leaves the previous
    // output, or none, and never a half-written one.
    ScratchFolder scratch(fileName);
    if (!scratch.create())
        throw ComError(hresult::accessDenied, scratch.error());
    std::filesystem::path target(fileName);
    const std::string name = target.filename().string();
    const std::string staged = scratch.file(name);
    m_document.storeToUrl(staged, filter, options, filterData);
    checkStored(scratch, name, form);
    if (finish)
        finish(staged);
    // The files beside the output (an HTML page's images) go first, so that the page is never
    // there without them; each is a file of this export and takes the place of one of its name.
    std::string folder = target.parent_path().string();
    int error = 0;
    for (const std::string& entry : scratch.entries()) {
        if (entry != name && !scratch.moveOut(entry, (folder.empty() ? "." : folder) + "/" + entry, error))
            throw ComError(hresult::accessDenied,
                "cannot put " + entry + " beside " + fileName + ": " + std::strerror(error));
    }
    if (!scratch.moveOut(name, fileName, error))
        throw ComError(hresult::accessDenied,
            "cannot put the output in place of " + fileName + ": " + std::strerror(error));
}

void UnoExporter::checkStored(const ScratchFolder& scratch, const std::string& name, Form form)
{
    // The files beside the output (an HTML page's images) are checked as well: an empty image
    // is as much a failed write as an empty page.
    for (const std::string& entry : scratch.entries())
        storedFileCheck::check(scratch.file(entry), entry == name ? form : Form::AnyBytes);
}

std::vector<std::string> UnoExporter::slideTexts(const uno::Reference<lang::XComponent>& component)
{
    std::vector<std::string> slides;
    uno::Reference<drawing::XDrawPagesSupplier> supplier(component, uno::UNO_QUERY_THROW);
    uno::Reference<container::XIndexAccess> pages(supplier->getDrawPages(), uno::UNO_QUERY_THROW);
    for (sal_Int32 index = 0; index < pages->getCount(); ++index) {
        uno::Reference<drawing::XShapes> page;
        pages->getByIndex(index) >>= page;
        std::string text;
        if (page.is())
            collectText(page, text);
        slides.push_back(text);
    }
    return slides;
}

}
