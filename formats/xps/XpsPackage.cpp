#include "formats/xps/XpsPackage.h"

namespace formats {

namespace {

const char* const xmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
const char* const xpsNamespace = "http://schemas.microsoft.com/xps/2005/06";
const char* const relationshipsNamespace = "http://schemas.openxmlformats.org/package/2006/relationships";

}

void XpsPackage::addPage(const XpsPageWriter& page)
{
    int number = ++m_pageCount;
    std::string name = "Documents/1/Pages/" + std::to_string(number) + ".fpage";
    m_zip.add(name, xmlDeclaration + page.fixedPage());
    m_pages += "<PageContent Source=\"/" + name + "\" Width=\"" + svg::number(page.width()) + "\" Height=\""
        + svg::number(page.height()) + "\"/>";
    if (page.images().empty())
        return;
    std::string relationships = std::string(xmlDeclaration) + "<Relationships xmlns=\"" + relationshipsNamespace + "\">";
    int id = 0;
    for (const XpsPageWriter::Image& image : page.images()) {
        m_zip.add(image.partName.substr(1), image.bytes);
        relationships += "<Relationship Id=\"R" + std::to_string(++id) + "\" Type=\"" + std::string(xpsNamespace)
            + "/required-resource\" Target=\"" + image.partName + "\"/>";
        bool jpeg = image.partName.size() > 4 && image.partName.compare(image.partName.size() - 4, 4, ".jpg") == 0;
        (jpeg ? m_hasJpeg : m_hasPng) = true;
    }
    relationships += "</Relationships>";
    m_zip.add("Documents/1/Pages/_rels/" + std::to_string(number) + ".fpage.rels", relationships);
}

bool XpsPackage::write(const std::string& path)
{
    std::string types = std::string(xmlDeclaration)
        + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
          "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
          "<Default Extension=\"fdseq\" ContentType=\"application/vnd.ms-package.xps-fixeddocumentsequence+xml\"/>"
          "<Default Extension=\"fdoc\" ContentType=\"application/vnd.ms-package.xps-fixeddocument+xml\"/>"
          "<Default Extension=\"fpage\" ContentType=\"application/vnd.ms-package.xps-fixedpage+xml\"/>";
    if (m_hasPng)
        types += "<Default Extension=\"png\" ContentType=\"image/png\"/>";
    if (m_hasJpeg)
        types += "<Default Extension=\"jpg\" ContentType=\"image/jpeg\"/>";
    types += "</Types>";
    // Readers look for the content types and the root relationship first.
    ZipWriter package;
    package.add("[Content_Types].xml", types);
    package.add("_rels/.rels",
        std::string(xmlDeclaration) + "<Relationships xmlns=\"" + relationshipsNamespace
            + "\"><Relationship Id=\"R0\" Type=\"" + xpsNamespace
            + "/fixedrepresentation\" Target=\"/FixedDocumentSequence.fdseq\"/></Relationships>");
    package.add("FixedDocumentSequence.fdseq",
        std::string(xmlDeclaration) + "<FixedDocumentSequence xmlns=\"" + xpsNamespace
            + "\"><DocumentReference Source=\"/Documents/1/FixedDocument.fdoc\"/></FixedDocumentSequence>");
    package.add("Documents/1/FixedDocument.fdoc",
        std::string(xmlDeclaration) + "<FixedDocument xmlns=\"" + xpsNamespace + "\">" + m_pages + "</FixedDocument>");
    package.append(m_zip);
    if (!package.write(path)) {
        m_error = package.errorMessage();
        return false;
    }
    return true;
}

}
