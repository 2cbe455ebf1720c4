#include "formats/xps/XpsPackage.h"

#include "formats/xps/SvgNumber.h"
#include "formats/xps/XpsMarkup.h"

#include <pugixml.hpp>

namespace formats {

namespace {

const char* const xpsNamespace = "http://schemas.microsoft.com/xps/2005/06";
const char* const relationshipsNamespace = "http://schemas.openxmlformats.org/package/2006/relationships";

pugi::xml_node appendElement(pugi::xml_node parent, const char* name,
    std::initializer_list<std::pair<const char*, std::string>> attributes)
{
    pugi::xml_node element = parent.append_child(name);
    for (const auto& [attribute, value] : attributes)
        element.append_attribute(attribute) = value.c_str();
    return element;
}

// Without the control characters XML cannot carry, which a document's title may hold.
std::string xmlText(std::string text)
{
    std::erase_if(text,
        [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r'; });
    return text;
}

}

void XpsPackage::addPage(const XpsPageWriter& page)
{
    int number = ++m_pageCount;
    std::string name = "Documents/1/Pages/" + std::to_string(number) + ".fpage";
    m_zip.add(name, XpsMarkup::part(page.fixedPage()));
    m_pages.push_back({ "/" + name, svg::number(page.width()), svg::number(page.height()) });
    if (page.images().empty())
        return;
    pugi::xml_document document;
    pugi::xml_node relationships
        = appendElement(document, "Relationships", { { "xmlns", relationshipsNamespace } });
    int id = 0;
    for (const XpsPageWriter::Image& image : page.images()) {
        m_zip.add(image.partName.substr(1), image.bytes);
        appendElement(relationships, "Relationship",
            { { "Id", "R" + std::to_string(++id) },
                { "Type", std::string(xpsNamespace) + "/required-resource" }, { "Target", image.partName } });
        bool jpeg
            = image.partName.size() > 4 && image.partName.compare(image.partName.size() - 4, 4, ".jpg") == 0;
        (jpeg ? m_hasJpeg : m_hasPng) = true;
    }
    m_zip.add("Documents/1/Pages/_rels/" + std::to_string(number) + ".fpage.rels",
        XpsMarkup::part(XpsMarkup::text(relationships)));
}

bool XpsPackage::write(const std::string& path)
{
    pugi::xml_document typesDocument;
    pugi::xml_node types = appendElement(typesDocument, "Types",
        { { "xmlns", "http://schemas.openxmlformats.org/package/2006/content-types" } });
    std::vector<std::pair<std::string, std::string>> defaults = {
        { "rels", "application/vnd.openxmlformats-package.relationships+xml" },
        { "fdseq", "application/vnd.ms-package.xps-fixeddocumentsequence+xml" },
        { "fdoc", "application/vnd.ms-package.xps-fixeddocument+xml" },
        { "fpage", "application/vnd.ms-package.xps-fixedpage+xml" },
    };
    if (m_hasPng)
        defaults.push_back({ "png", "image/png" });
    if (m_hasJpeg)
        defaults.push_back({ "jpg", "image/jpeg" });
    for (const auto& [extension, type] : defaults)
        appendElement(types, "Default", { { "Extension", extension }, { "ContentType", type } });
    const bool hasCoreProperties = !m_title.empty() || !m_language.empty();
    if (hasCoreProperties)
        appendElement(types, "Override",
            { { "PartName", "/docProps/core.xml" },
                { "ContentType", "application/vnd.openxmlformats-package.core-properties+xml" } });

    pugi::xml_document rootDocument;
    pugi::xml_node rootRelationships
        = appendElement(rootDocument, "Relationships", { { "xmlns", relationshipsNamespace } });
    appendElement(rootRelationships, "Relationship",
        { { "Id", "R0" }, { "Type", std::string(xpsNamespace) + "/fixedrepresentation" },
            { "Target", "/FixedDocumentSequence.fdseq" } });
    if (hasCoreProperties)
        appendElement(rootRelationships, "Relationship",
            { { "Id", "R1" },
                { "Type",
                    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" },
                { "Target", "/docProps/core.xml" } });
    pugi::xml_document coreDocument;
    pugi::xml_node core = appendElement(coreDocument, "cp:coreProperties",
        { { "xmlns:cp", "http://schemas.openxmlformats.org/package/2006/metadata/core-properties" },
            { "xmlns:dc", "http://purl.org/dc/elements/1.1/" } });
    if (!m_title.empty())
        core.append_child("dc:title").text() = xmlText(m_title).c_str();
    if (!m_language.empty())
        core.append_child("dc:language").text() = xmlText(m_language).c_str();

    pugi::xml_document sequenceDocument;
    pugi::xml_node sequence
        = appendElement(sequenceDocument, "FixedDocumentSequence", { { "xmlns", xpsNamespace } });
    appendElement(sequence, "DocumentReference", { { "Source", "/Documents/1/FixedDocument.fdoc" } });

    pugi::xml_document fixedDocument;
    pugi::xml_node pages = appendElement(fixedDocument, "FixedDocument", { { "xmlns", xpsNamespace } });
    for (const PageContent& page : m_pages)
        appendElement(pages, "PageContent",
            { { "Source", page.source }, { "Width", page.width }, { "Height", page.height } });

    // Readers look for the content types and the root relationship first.
    ZipWriter package;
    package.add("[Content_Types].xml", XpsMarkup::part(XpsMarkup::text(types)));
    package.add("_rels/.rels", XpsMarkup::part(XpsMarkup::text(rootRelationships)));
    package.add("FixedDocumentSequence.fdseq", XpsMarkup::part(XpsMarkup::text(sequence)));
    package.add("Documents/1/FixedDocument.fdoc", XpsMarkup::part(XpsMarkup::text(pages)));
    if (hasCoreProperties)
        package.add("docProps/core.xml", XpsMarkup::part(XpsMarkup::text(core)));
    package.append(m_zip);
    if (!package.write(path)) {
        m_error = package.errorMessage();
        return false;
    }
    return true;
}

}
