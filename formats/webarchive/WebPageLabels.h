#pragma once

#include <map>
#include <string>
#include <string_view>

namespace formats::webarchive {

// What a reader of a published page, or a screen reader for them, needs to know of it that an
// office's HTML export may leave out.
struct PageLabels {
    // The document's language as a BCP 47 tag ("de-DE"); empty when it names none.
    std::string language;
    // The page's title where the export gave it none (an empty or missing title element).
    std::string title;
    // A picture's description, by the name the page gives its img element.
    std::map<std::string, std::string> pictureTexts;
};

// The page with the language on its html element (unless that names one), a title, and an alt
// text on every img that has none: the picture's description, or empty for a picture without
// one, which tells a screen reader to pass it by. Everything else is left byte for byte.
std::string labelledPage(std::string_view html, const PageLabels& labels);

}
