#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace formats {

// The small pieces of MIME and URL text a web archive is made of.
namespace webarchive {

// Quoted-printable of RFC 2045 with CRLF hard line breaks and lines of at most 76 characters.
// Source lines may end in LF or CRLF.
std::string quotedPrintable(std::string_view text);
// Base64 in lines of at most 76 characters with CRLF breaks between them, as MIME bodies want.
std::string base64Lines(std::string_view bytes);
// A header value: as it is when it is printable ASCII, else one RFC 2047 UTF-8 encoded word.
std::string headerText(std::string_view utf8);
// The RFC 5322 date of a moment, in UTC ("Tue, 08 Dec 2026 22:30:00 +0000").
std::string mailDate(std::time_t moment);
// The MIME type by file extension, compared without regard to case.
std::string contentTypeFor(std::string_view fileName);
// Replaces the character references an attribute value may hold (&amp; &#38; &#x26; ...).
std::string decodeEntities(std::string_view text);

}

}
