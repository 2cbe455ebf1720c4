#pragma once

#include <com/sun/star/lang/XComponent.hpp>

#include <map>
#include <string>

namespace office {

// What a loaded document says of itself that readers of its outputs need: the language its
// text is written in, its title, and what its pictures show.
struct DocumentLabels {
    // A BCP 47 tag ("de-DE"); empty when the document names no language.
    std::string language;
    // The title of the document's properties; empty when it has none.
    std::string title;
    // Each picture's description (its alternative text), else its title, by the picture's name;
    // pictures without either are not listed.
    std::map<std::string, std::string> pictureTexts;

    static DocumentLabels of(const css::uno::Reference<css::lang::XComponent>& component);
};

}
