#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace formats::svg {

// One element of an SVG document; attribute names are local names ("href" for xlink:href).
struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::vector<std::unique_ptr<Element>> children;

    // Empty when the attribute is absent.
    std::string attribute(const std::string& attributeName) const;
    bool has(const std::string& attributeName) const { return attributes.count(attributeName) != 0; }
};

// An SVG document as a tree, with its elements found by id, as references (use, url(#id)) need.
class SvgDocument {
public:
    // False, with error, when the bytes are not well-formed XML or the root is no svg element.
    bool parse(const std::string& bytes, std::string& error);

    const Element* root() const { return m_root.get(); }
    const Element* byId(std::string_view id) const;
    // The element a reference names: "#id", "url(#id)" or url("#id"); nullptr when none.
    const Element* referenced(std::string_view reference) const;

private:
    void index(const Element& element);

    std::unique_ptr<Element> m_root;
    std::map<std::string, const Element*, std::less<>> m_ids;
};

}
