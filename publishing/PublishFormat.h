#pragma once

#include <cstdint>

// The context-menu commands that choose a publishing job's target format.
constexpr int32_t ID_PUBLISH_AS_WEBARCHIVE = 32836;
constexpr int32_t ID_PUBLISH_AS_HTML = 32837;
constexpr int32_t ID_PUBLISH_AS_TEXT = 32838;
constexpr int32_t ID_PUBLISH_AS_UNICODETEXT = 32839;
constexpr int32_t ID_PUBLISH_AS_XPS = 32840;
constexpr int32_t ID_PUBLISH_AS_PDF = 32842;

// What one publish command produces with one application: the text appended to the source's
// full name and the application's SaveAs format code.
struct PublishFormat {
    const char* suffix = nullptr;
    int32_t formatCode = 0;
};

// Each returns false for a number that is not a publish command.
bool wordPublishFormat(int32_t command, PublishFormat& out);
bool excelPublishFormat(int32_t command, PublishFormat& out);
bool powerPointPublishFormat(int32_t command, PublishFormat& out);

// The suffix that the publisher of path's application appends for command (".pdf" for a PDF);
// null when it has no format for it.
const char* publishedSuffix(const char* path, int32_t command);

// The command for a --format word of pressling-cli (html, mhtml, text, unicode, xps, pdf), or 0.
int32_t publishCommandForName(const char* name);
