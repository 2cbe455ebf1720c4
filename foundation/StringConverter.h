#pragma once

#include "foundation/Object.h"

#include <memory>
#include <string>
#include <string_view>

// The program's one UTF-8 codec, and the conversions between the narrow text of the program
// (UTF-8 here) and UTF-16, which only the calls that need it see. File names are byte strings
// and do not go through here.
//
// Decoding is strict: an overlong form, an encoded surrogate, a code point past U+10FFFF, a
// stray continuation byte and a sequence cut short are all refused, so that no two byte
// strings ever decode to the same text.
class StringConverter : public Object {
public:
    static constexpr char32_t Replacement = 0xFFFD;

    // Decodes the sequence that starts at text[index] and moves index past it. False, with
    // index unchanged, when no valid sequence starts there.
    static bool decodeUtf8(std::string_view text, size_t& index, char32_t& codePoint);
    // Every code point of text; a byte that starts no valid sequence stands for itself as
    // U+FFFD, so that nothing of the text is dropped silently.
    static std::u32string decodeUtf8Replacing(std::string_view text);
    static bool isValidUtf8(std::string_view text);
    // Appends the UTF-8 form of a code point; a surrogate or a value past U+10FFFF is
    // appended as U+FFFD.
    static void appendUtf8(std::string& out, char32_t codePoint);

    // Null for null. A byte that is not part of valid UTF-8 becomes U+FFFD.
    static std::unique_ptr<char16_t[]> toWideChar(const char* text);
    // Null for null. An unpaired surrogate becomes U+FFFD.
    static std::unique_ptr<char[]> toMultiByte(const char16_t* text);
};
