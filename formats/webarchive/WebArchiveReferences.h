#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace formats::webarchive {

enum class ReferenceKind {
    // An image, script or style sheet the page shows or uses.
    Resource,
    // Another page of the same export: a frame, or a link to an .htm/.html file.
    Page,
};

struct Reference {
    // As the page writes it, with character references already decoded.
    std::string text;
    ReferenceKind kind;
};

// A start tag: its name and its attributes' values (character references decoded), both names
// in lower case. An end tag has an empty name.
struct Tag {
    std::string name;
    std::map<std::string, std::string> attributes;
};

// Parses the tag starting at html[position] == '<'; moves position past it.
Tag parseTag(std::string_view html, size_t& position);
// Calls visit for every tag of the page in order, passing over comments. visit gets the tag and
// position just past it, which it may move on (past the text of a style element, say).
void forEachTag(std::string_view html, const std::function<void(const Tag& tag, size_t& position)>& visit);

// The references of an HTML page that a browser would load for it (or that belong to the same
// export), in document order, duplicates included.
std::vector<Reference> htmlReferences(std::string_view html);
// url(...) and @import references of a style sheet or a style attribute.
std::vector<std::string> cssReferences(std::string_view css);
// The charset a page declares in a meta element; "utf-8" when it declares none.
std::string htmlCharset(std::string_view html);
// The text of the title element, white space collapsed; empty when there is none.
std::string htmlTitle(std::string_view html);

}
