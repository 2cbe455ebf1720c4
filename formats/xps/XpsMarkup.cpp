#include "formats/xps/XpsMarkup.h"

#include <pugixml.hpp>

namespace formats {

namespace {

class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override
    {
        m_text.append(static_cast<const char*>(data), size);
    }
    std::string& text() { return m_text; }

private:
    std::string m_text;
};

}

std::string XpsMarkup::text(const pugi::xml_node& element)
{
    StringWriter writer;
    element.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(writer.text());
}

std::string XpsMarkup::part(const std::string& rootMarkup)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + rootMarkup;
}

}
