#include "formats/xps/SvgDataUri.h"

#include <QByteArray>

namespace formats::svg {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

std::optional<std::string> decodeBase64(std::string_view text)
{
    QByteArray data;
    data.reserve(static_cast<qsizetype>(text.size()));
    for (char c : text) {
        if (!isSpace(c))
            data += c;
    }
    // A single character left over holds six bits, which no whole byte leaves; Qt would drop
    // them without a word.
    if (data.size() % 4 == 1)
        return std::nullopt;
    for (auto alphabet : { QByteArray::Base64Encoding, QByteArray::Base64UrlEncoding }) {
        auto decoded
            = QByteArray::fromBase64Encoding(data, alphabet | QByteArray::AbortOnBase64DecodingErrors);
        if (decoded)
            return std::string(decoded.decoded.constData(), static_cast<size_t>(decoded.decoded.size()));
    }
    return std::nullopt;
}

}

std::optional<std::string> SvgDataUri::bytes(std::string_view href)
{
    size_t comma = href.find(',');
    if (href.rfind("data:", 0) != 0 || comma == std::string_view::npos
        || href.substr(0, comma).find(";base64") == std::string_view::npos)
        return std::nullopt;
    return decodeBase64(href.substr(comma + 1));
}

}
