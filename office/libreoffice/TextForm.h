#pragma once

#include <string>

namespace office {

// Text files written the way Word writes them: CRLF line ends; plain text in UTF-8 (the
// program's narrow encoding) without a byte order mark; Unicode text in UTF-16 little endian
// with its byte order mark.
namespace textForm {

// Every line end (LF, CR LF, lone CR) becomes CR LF; a UTF-8 byte order mark is dropped.
std::string utf8WithCrlf(const std::string& utf8);
// UTF-8 text as UTF-16 LE with a byte order mark and CR LF line ends; a byte that starts no
// valid sequence (an overlong form, an encoded surrogate, a cut sequence) becomes U+FFFD.
std::string utf16LeWithBom(const std::string& utf8);
// UTF-16 LE bytes (with or without a byte order mark) with a byte order mark and CR LF line
// ends; an odd trailing byte is dropped.
std::string normalizedUtf16Le(const std::string& bytes);

}

}
