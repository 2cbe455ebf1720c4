#pragma once

#include <string>

namespace pugi {
class xml_node;
}

namespace formats {

// Every piece of XPS markup is built as a pugixml tree and printed here, so that attribute
// values are always escaped, whatever they hold.
struct XpsMarkup {
    // The element and everything inside it, on one line without indentation, as the readers
    // take it.
    static std::string text(const pugi::xml_node& element);
    // A whole part of the package: the XML declaration, then the root element's markup.
    static std::string part(const std::string& rootMarkup);
};

}
