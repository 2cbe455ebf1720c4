#pragma once

#include "foundation/Object.h"

#include <memory>

class String;

namespace pugi {
class xml_document;
}

// The XrML issuance licence of a rights-protected document, as an XML document that XPath
// expressions select from.
class IssuanceLicense : public Object {
public:
    // Throws Exception when the document cannot be created.
    IssuanceLicense();
    IssuanceLicense(const IssuanceLicense&) = delete;
    IssuanceLicense& operator=(const IssuanceLicense&) = delete;
    ~IssuanceLicense() override;

    // Parses text (UTF-8) as the licence; false when it is no well-formed XML.
    bool load(const char* text);

    // The text content of the first node that expression selects; false when nothing matches
    // or the expression is not valid. Throws Exception when there is no document.
    bool getTextByPath(const char* expression, String& text) const;

private:
    std::unique_ptr<pugi::xml_document> xmlDoc;
};
