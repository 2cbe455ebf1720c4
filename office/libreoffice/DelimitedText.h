#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace office {

// A table kept as text, one record per line: what a program's "Export to Excel" or a
// spreadsheet's own CSV export writes. The office's text import needs to be told how the text
// holds its table; this finds out from the first bytes of the file.
struct DelimitedText {
    enum class Charset { Utf8, Utf16, Windows1252 };

    char separator = ',';
    Charset charset = Charset::Utf8;

    // How bytes (the whole file, or its first bytes when truncated is true) hold a table:
    // - the character set: UTF-16 by its byte order mark, UTF-8 when the bytes are valid
    //   UTF-8 (with or without a mark), else the Western Windows code page that spreadsheet
    //   programs write;
    // - the separator among tab, semicolon, comma and bar: the one that splits the most
    //   records into the same number of fields, quoted fields not counted; a comma where none
    //   does (a table of one column).
    // Nothing when bytes are no text: a NUL or another control character than tab, line
    // ends, form feed and the end-of-file mark, or nothing but white space.
    static std::optional<DelimitedText> of(std::string_view bytes, bool truncated);

    // The office's import options for this table: its separator, double quotes around fields,
    // its character set, from the first line, numbers as the office's locale writes them and
    // nothing else converted, so that what the file says is what is published.
    std::string calcImportOptions() const;
};

}
