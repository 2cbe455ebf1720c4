#include "formats/xps/SvgDocument.h"

#include <QXmlStreamReader>

namespace formats::svg {

std::string Element::attribute(const std::string& attributeName) const
{
    auto found = attributes.find(attributeName);
    return found == attributes.end() ? std::string() : found->second;
}

bool SvgDocument::parse(const std::string& bytes, std::string& error)
{
    m_root.reset();
    m_ids.clear();
    QXmlStreamReader reader(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    std::vector<Element*> open;
    while (!reader.atEnd()) {
        QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            auto element = std::make_unique<Element>();
            element->name = reader.name().toString().toStdString();
            for (const QXmlStreamAttribute& attribute : reader.attributes())
                element->attributes[attribute.name().toString().toStdString()] = attribute.value().toString().toStdString();
            Element* raw = element.get();
            if (open.empty()) {
                if (m_root) {
                    error = "the SVG has more than one root element";
                    return false;
                }
                m_root = std::move(element);
            } else {
                open.back()->children.push_back(std::move(element));
            }
            open.push_back(raw);
        } else if (token == QXmlStreamReader::EndElement) {
            open.pop_back();
        }
    }
    if (reader.hasError()) {
        error = "the SVG is not well-formed: " + reader.errorString().toStdString();
        m_root.reset();
        return false;
    }
    if (!m_root || m_root->name != "svg") {
        error = "the document is no SVG";
        m_root.reset();
        return false;
    }
    index(*m_root);
    return true;
}

void SvgDocument::index(const Element& element)
{
    if (auto id = element.attributes.find("id"); id != element.attributes.end())
        m_ids.emplace(id->second, &element);
    for (const auto& child : element.children)
        index(*child);
}

const Element* SvgDocument::byId(std::string_view id) const
{
    auto found = m_ids.find(id);
    return found == m_ids.end() ? nullptr : found->second;
}

const Element* SvgDocument::referenced(std::string_view reference) const
{
    if (reference.substr(0, 4) == "url(") {
        reference.remove_prefix(4);
        size_t close = reference.find(')');
        reference = reference.substr(0, close);
        while (!reference.empty() && (reference.front() == '"' || reference.front() == '\'' || reference.front() == ' '))
            reference.remove_prefix(1);
        while (!reference.empty() && (reference.back() == '"' || reference.back() == '\'' || reference.back() == ' '))
            reference.remove_suffix(1);
    }
    if (reference.empty() || reference.front() != '#')
        return nullptr;
    return byId(reference.substr(1));
}

}
