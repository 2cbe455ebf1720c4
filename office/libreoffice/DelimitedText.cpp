#include "office/libreoffice/DelimitedText.h"

#include "foundation/StringConverter.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace office {

namespace {

constexpr std::array<char, 4> separators = { '\t', ';', ',', '|' };
// Enough records to see the shape of a table without reading a large one.
constexpr size_t recordsLooked = 50;

bool allowedControl(unsigned code)
{
    return code == '\t' || code == '\n' || code == '\r' || code == '\f' || code == 0x1A;
}

// The text with every character outside ASCII as 'x', from UTF-16 in the given byte order;
// nothing when a code unit is a control character the text may not hold.
std::optional<std::string> asciiShape(std::string_view units, bool bigEndian)
{
    std::string shape;
    shape.reserve(units.size() / 2);
    for (size_t index = 0; index + 1 < units.size(); index += 2) {
        unsigned first = static_cast<unsigned char>(units[index]);
        unsigned second = static_cast<unsigned char>(units[index + 1]);
        unsigned unit = bigEndian ? (first << 8 | second) : (second << 8 | first);
        if (unit < 0x20 && !allowedControl(unit))
            return std::nullopt;
        shape += unit < 0x80 ? static_cast<char>(unit) : 'x';
    }
    return shape;
}

bool isText(std::string_view bytes)
{
    return std::none_of(bytes.begin(), bytes.end(), [](char byte) {
        unsigned code = static_cast<unsigned char>(byte);
        return (code < 0x20 && !allowedControl(code)) || code == 0x7F;
    });
}

// The records of text, split at line ends outside double quotes; a last record that the
// truncation may have cut is left out.
std::vector<std::string_view> records(std::string_view text, bool truncated)
{
    std::vector<std::string_view> found;
    bool quoted = false;
    size_t start = 0;
    for (size_t index = 0; index < text.size() && found.size() < recordsLooked; ++index) {
        char c = text[index];
        if (c == '"')
            quoted = !quoted;
        else if (c == '\n' && !quoted) {
            found.push_back(text.substr(start, index - start));
            start = index + 1;
        }
    }
    // The last record counts unless the truncation may have cut it, and then only when there
    // is no other: a table of one long line.
    if (start < text.size() && found.size() < recordsLooked && (!truncated || found.empty()))
        found.push_back(text.substr(start));
    // A blank line ends a table for the eye but is not a record of it.
    std::erase_if(found,
        [](std::string_view record) { return record.find_first_not_of(" \t\r\f\x1A") == record.npos; });
    return found;
}

size_t countOutsideQuotes(std::string_view record, char separator)
{
    size_t count = 0;
    bool quoted = false;
    for (char c : record) {
        if (c == '"')
            quoted = !quoted;
        else if (c == separator && !quoted)
            ++count;
    }
    return count;
}

// The separator that gives the most records one and the same number of fields (more than
// one); among equals the earlier of the list, as tab and semicolon rarely stand inside text.
char separatorOf(const std::vector<std::string_view>& table)
{
    char chosen = ',';
    size_t bestAgreeing = 0;
    for (char separator : separators) {
        std::map<size_t, size_t> recordsPerCount;
        for (std::string_view record : table)
            ++recordsPerCount[countOutsideQuotes(record, separator)];
        size_t agreeing = 0;
        for (const auto& [count, records] : recordsPerCount) {
            if (count > 0)
                agreeing = std::max(agreeing, records);
        }
        if (agreeing > bestAgreeing) {
            bestAgreeing = agreeing;
            chosen = separator;
        }
    }
    return chosen;
}

}

std::optional<DelimitedText> DelimitedText::of(std::string_view bytes, bool truncated)
{
    DelimitedText table;
    std::string shape;
    const bool littleEndian = bytes.starts_with("\xFF\xFE");
    if (littleEndian || bytes.starts_with("\xFE\xFF")) {
        std::optional<std::string> ascii = asciiShape(bytes.substr(2), !littleEndian);
        if (!ascii)
            return std::nullopt;
        table.charset = Charset::Utf16;
        shape = std::move(*ascii);
    } else {
        if (bytes.starts_with("\xEF\xBB\xBF"))
            bytes.remove_prefix(3);
        if (!isText(bytes))
            return std::nullopt;
        // A sequence that the end of what was read cut in two is no fault of the file.
        std::string_view whole = truncated ? bytes.substr(0, bytes.rfind('\n') + 1) : bytes;
        table.charset = StringConverter::isValidUtf8(whole) ? Charset::Utf8 : Charset::Windows1252;
        shape = bytes;
    }
    std::vector<std::string_view> tableRecords = records(shape, truncated);
    if (tableRecords.empty())
        return std::nullopt;
    table.separator = separatorOf(tableRecords);
    return table;
}

std::string DelimitedText::calcImportOptions() const
{
    // Calc's numbers of the character sets: UTF-8, UTF-16 (its byte order mark says which),
    // Windows-1252.
    const char* charsetNumber = charset == Charset::Utf8 ? "76" : charset == Charset::Utf16 ? "65535" : "1";
    // Separator, text delimiter ("), character set, first line, column formats (none), the
    // office's language, quoted fields as text (no), special numbers such as dates (no).
    return std::to_string(static_cast<unsigned char>(separator)) + ",34," + charsetNumber
        + ",1,,0,false,false";
}

}
