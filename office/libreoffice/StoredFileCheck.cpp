#include "office/libreoffice/StoredFileCheck.h"

#include "office/ComError.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace office::storedFileCheck {

namespace {

// A PDF may carry some bytes after its marker, a page some blank lines after its closing tag;
// markers are compared in lower case, as tags may come in either.
constexpr std::streamoff tailLength = 1024;

std::string tailOf(const std::string& file, std::streamoff& size)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    size = in.tellg();
    std::streamoff start = std::max<std::streamoff>(0, size - tailLength);
    in.seekg(start);
    std::string tail(static_cast<size_t>(size - start), '\0');
    in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    tail.resize(static_cast<size_t>(in.gcount()));
    return tail;
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
    });
    return text;
}

const char* endMarker(Form form)
{
    switch (form) {
    case Form::HtmlPage:
        return "</html>";
    case Form::Pdf:
        return "%%eof";
    case Form::Text:
    case Form::AnyBytes:
        break;
    }
    return nullptr;
}

}

void check(const std::string& file, Form form)
{
    std::streamoff size = -1;
    std::string tail = tailOf(file, size);
    if (size < 0 || (size == 0 && form != Form::Text))
        throw ComError(hresult::fail, "LibreOffice stored nothing in " + file);
    const char* marker = endMarker(form);
    if (marker && lowered(tail).find(marker) == std::string::npos)
        throw ComError(hresult::fail, "LibreOffice stored an incomplete " + file);
}

}
