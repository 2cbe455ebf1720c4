#include "formats/webarchive/WebPageLabels.h"

#include "formats/webarchive/WebArchiveReferences.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <cctype>

namespace formats::webarchive {

namespace {

bool startsWithFolded(std::string_view text, size_t at, std::string_view lowerPrefix)
{
    if (text.size() - std::min(at, text.size()) < lowerPrefix.size())
        return false;
    return std::equal(lowerPrefix.begin(), lowerPrefix.end(), text.begin() + static_cast<long>(at),
        [](char expected, char c) { return expected == std::tolower(static_cast<unsigned char>(c)); });
}

// Where the first tag of the given name ("<head", "</title") begins, from from on.
size_t findTag(std::string_view text, size_t from, std::string_view lowerStart)
{
    for (size_t at = text.find('<', from); at != std::string_view::npos; at = text.find('<', at + 1)) {
        const size_t after = at + lowerStart.size();
        if (startsWithFolded(text, at, lowerStart)
            && (after == text.size()
                || !(std::isalnum(static_cast<unsigned char>(text[after])) || text[after] == '-')))
            return at;
    }
    return std::string_view::npos;
}

// Text for an attribute value or the title. A page in another character set than UTF-8 gets
// character references for everything outside ASCII, which read the same in any of them.
std::string escaped(std::string_view text, bool utf8)
{
    std::string out;
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (char32_t c : decoded.toUcs4()) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else if (c < 0x80)
            out += static_cast<char>(c);
        else if (utf8)
            out += QString::fromUcs4(&c, 1).toStdString();
        else
            out += "&#" + std::to_string(static_cast<uint32_t>(c)) + ";";
    }
    return out;
}

}

std::string labelledPage(std::string_view html, const PageLabels& labels)
{
    const std::string charset = htmlCharset(html);
    const bool utf8 = charset == "utf-8" || charset == "utf8";
    const bool hasTitleElement = findTag(html, 0, "<title") != std::string_view::npos;
    const bool hasHead = findTag(html, 0, "<head") != std::string_view::npos;
    bool titled = !htmlTitle(html).empty();
    std::string out;
    out.reserve(html.size() + 256);
    size_t copied = 0;
    auto insert = [&](size_t at, const std::string& piece) {
        out.append(html.substr(copied, at - copied));
        out += piece;
        copied = at;
    };
    forEachTag(html, [&](const Tag& tag, size_t& position) {
        // Attributes go before the tag's end, and before the slash of an empty element.
        size_t end = html[position - 1] == '>' ? position - 1 : position;
        size_t attributesEnd = end > 0 && html[end - 1] == '/' ? end - 1 : end;
        if (tag.name == "html" && !labels.language.empty() && !tag.attributes.count("lang"))
            insert(attributesEnd, " lang=\"" + escaped(labels.language, utf8) + "\"");
        if ((tag.name == "head" || (tag.name == "html" && !hasHead)) && !hasTitleElement && !titled) {
            insert(position, "<title>" + escaped(labels.title, utf8) + "</title>");
            titled = true;
        } else if (tag.name == "img" && !tag.attributes.count("alt")) {
            auto name = tag.attributes.find("name");
            auto text = name == tag.attributes.end() ? labels.pictureTexts.end()
                                                     : labels.pictureTexts.find(name->second);
            insert(attributesEnd,
                " alt=\"" + (text == labels.pictureTexts.end() ? std::string() : escaped(text->second, utf8))
                    + "\"");
        } else if (tag.name == "title" && !titled) {
            size_t close = findTag(html, position, "</title");
            if (close != std::string_view::npos) {
                insert(position, escaped(labels.title, utf8));
                copied = close;
                titled = true;
            }
        } else if (tag.name == "style" || tag.name == "script") {
            // Their text is not markup.
            size_t close = findTag(html, position, tag.name == "style" ? "</style" : "</script");
            position = close == std::string_view::npos ? html.size() : close;
        }
    });
    out.append(html.substr(copied));
    return out;
}

}
