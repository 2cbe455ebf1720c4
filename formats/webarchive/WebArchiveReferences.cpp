#include "formats/webarchive/WebArchiveReferences.h"

#include "formats/webarchive/WebArchiveEncoding.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace formats::webarchive {

namespace {

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

}

Tag parseTag(std::string_view html, size_t& position)
{
    Tag tag;
    size_t i = position + 1;
    while (i < html.size() && !isSpace(html[i]) && html[i] != '>' && html[i] != '/')
        tag.name += static_cast<char>(std::tolower(static_cast<unsigned char>(html[i++])));
    while (i < html.size() && html[i] != '>') {
        if (isSpace(html[i]) || html[i] == '/') {
            ++i;
            continue;
        }
        std::string name;
        while (i < html.size() && !isSpace(html[i]) && html[i] != '=' && html[i] != '>' && html[i] != '/')
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(html[i++])));
        while (i < html.size() && isSpace(html[i]))
            ++i;
        std::string value;
        if (i < html.size() && html[i] == '=') {
            ++i;
            while (i < html.size() && isSpace(html[i]))
                ++i;
            if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
                char quote = html[i++];
                size_t end = html.find(quote, i);
                end = end == std::string_view::npos ? html.size() : end;
                value = html.substr(i, end - i);
                i = std::min(end + 1, html.size());
            } else {
                while (i < html.size() && !isSpace(html[i]) && html[i] != '>')
                    value += html[i++];
            }
        }
        if (!name.empty())
            tag.attributes.emplace(name, decodeEntities(value));
    }
    position = std::min(i + 1, html.size());
    return tag;
}

namespace {

bool namesPage(const std::string& reference)
{
    std::string path = lower(reference.substr(0, reference.find_first_of("?#")));
    auto endsWith = [&](std::string_view suffix) {
        return path.size() >= suffix.size()
            && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    return endsWith(".html") || endsWith(".htm");
}

void addTagReferences(const Tag& tag, std::vector<Reference>& out)
{
    auto attribute = [&](const char* name) -> const std::string* {
        auto found = tag.attributes.find(name);
        return found == tag.attributes.end() ? nullptr : &found->second;
    };
    if (const std::string* style = attribute("style")) {
        for (std::string& reference : cssReferences(*style))
            out.push_back({ std::move(reference), ReferenceKind::Resource });
    }
    if (const std::string* background = attribute("background"))
        out.push_back({ *background, ReferenceKind::Resource });
    const std::string* source = attribute("src");
    if (source && (tag.name == "frame" || tag.name == "iframe"))
        out.push_back({ *source, ReferenceKind::Page });
    else if (source
        && (tag.name == "img" || tag.name == "input" || tag.name == "script" || tag.name == "embed"))
        out.push_back({ *source, ReferenceKind::Resource });
    const std::string* target = attribute("href");
    if (!target)
        return;
    if (tag.name == "link") {
        const std::string* relation = attribute("rel");
        if (relation
            && (lower(*relation).find("stylesheet") != std::string::npos || lower(*relation) == "icon"))
            out.push_back({ *target, ReferenceKind::Resource });
    } else if ((tag.name == "a" || tag.name == "area") && namesPage(*target)) {
        out.push_back({ *target, ReferenceKind::Page });
    }
}

}

void forEachTag(std::string_view html, const std::function<void(const Tag& tag, size_t& position)>& visit)
{
    size_t position = 0;
    while ((position = html.find('<', position)) != std::string_view::npos) {
        if (html.substr(position, 4) == "<!--") {
            size_t end = html.find("-->", position + 4);
            position = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        Tag tag = parseTag(html, position);
        visit(tag, position);
    }
}

std::vector<Reference> htmlReferences(std::string_view html)
{
    std::vector<Reference> out;
    forEachTag(html, [&](const Tag& tag, size_t& position) {
        addTagReferences(tag, out);
        if (tag.name == "style") {
            size_t end = lower(html.substr(position)).find("</style");
            std::string_view css = html.substr(position, end);
            for (std::string& reference : cssReferences(css))
                out.push_back({ std::move(reference), ReferenceKind::Resource });
            position = end == std::string::npos ? html.size() : position + end;
        }
    });
    return out;
}

std::vector<std::string> cssReferences(std::string_view css)
{
    std::vector<std::string> out;
    std::string folded = lower(css);
    auto unquote = [](std::string_view value) {
        while (!value.empty() && isSpace(value.front()))
            value.remove_prefix(1);
        while (!value.empty() && isSpace(value.back()))
            value.remove_suffix(1);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
            && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    };
    for (size_t at = folded.find("url("); at != std::string::npos; at = folded.find("url(", at + 4)) {
        size_t end = css.find(')', at + 4);
        if (end == std::string_view::npos)
            break;
        out.push_back(unquote(css.substr(at + 4, end - at - 4)));
    }
    // @import "file.css" without url(...)
    for (size_t at = folded.find("@import"); at != std::string::npos; at = folded.find("@import", at + 7)) {
        size_t start = at + 7;
        while (start < css.size() && isSpace(css[start]))
            ++start;
        if (start >= css.size() || (css[start] != '"' && css[start] != '\''))
            continue;
        size_t end = css.find(css[start], start + 1);
        if (end != std::string_view::npos)
            out.push_back(std::string(css.substr(start + 1, end - start - 1)));
    }
    return out;
}

std::string htmlCharset(std::string_view html)
{
    size_t position = 0;
    while ((position = html.find('<', position)) != std::string_view::npos) {
        Tag tag = parseTag(html, position);
        if (tag.name == "body")
            break;
        if (tag.name != "meta")
            continue;
        if (auto charset = tag.attributes.find("charset"); charset != tag.attributes.end())
            return lower(charset->second);
        if (auto content = tag.attributes.find("content"); content != tag.attributes.end()) {
            std::string value = lower(content->second);
            size_t at = value.find("charset=");
            if (at != std::string::npos) {
                std::string charset = value.substr(at + 8);
                return charset.substr(0, charset.find_first_of("; \"'"));
            }
        }
    }
    return "utf-8";
}

std::string htmlTitle(std::string_view html)
{
    std::string folded = lower(html);
    size_t open = folded.find("<title");
    size_t start = open == std::string::npos ? open : folded.find('>', open);
    size_t end = start == std::string::npos ? start : folded.find("</title", start);
    if (end == std::string::npos)
        return {};
    std::string title;
    for (char c : decodeEntities(html.substr(start + 1, end - start - 1))) {
        if (isSpace(c)) {
            if (!title.empty() && title.back() != ' ')
                title += ' ';
        } else {
            title += c;
        }
    }
    if (!title.empty() && title.back() == ' ')
        title.pop_back();
    return title;
}

}
