#include "classify/IssuanceLicense.h"

#include "foundation/Exception.h"
#include "foundation/String.h"

#include <pugixml.hpp>

#include <cstring>
#include <exception>
#include <new>
#include <string>

namespace {

// The text content of a node: the concatenated character data below an element, or the value
// of an attribute or a text node.
void appendText(const pugi::xml_node& node, std::string& text)
{
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        text += node.value();
        return;
    }
    for (const pugi::xml_node& child : node.children())
        appendText(child, text);
}

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

}

IssuanceLicense::IssuanceLicense()
    : xmlDoc(new (std::nothrow) pugi::xml_document)
{
    if (!xmlDoc)
        throw Exception(
            "IssuanceLicense::IssuanceLicense,1,Failed to create an MSXML2::Document30 object", 0);
}

IssuanceLicense::~IssuanceLicense() = default;

bool IssuanceLicense::load(const char* text)
{
    if (!text)
        return false;
    // The text has already been converted to the narrow code page, whatever its declaration
    // says, so it is parsed as such.
    pugi::xml_parse_result result
        = xmlDoc->load_buffer(text, std::strlen(text), pugi::parse_default, pugi::encoding_utf8);
    return static_cast<bool>(result);
}

bool IssuanceLicense::getTextByPath(const char* expression, String& text) const
{
    if (!xmlDoc)
        throw Exception("IssuanceLicense::getTextByPath,1,xmlDoc is NULL", 0);
    if (!expression)
        return false;
    try {
        pugi::xpath_node selected = xmlDoc->select_node(expression);
        if (!selected)
            return false;
        std::string content;
        if (selected.attribute())
            content = selected.attribute().value();
        else
            appendText(selected.node(), content);
        // Leading and trailing blanks around an element's text are layout, not content.
        text.assign(trimmed(content).c_str());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
