#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace office {

// The application a document is opened for.
enum class DocumentFamily { Word, Excel, PowerPoint };

namespace importFilter {

// How the office loads a file: the import filter, and the options it is given so that it asks
// nothing.
struct Import {
    std::string filter;
    std::string options;
};

// How the office loads the file at path, for which type detection chose detected, when that
// reads one of the formats the application itself opens: Word's binary and Open XML documents
// and the RTF and HTML files Word opens as well; Excel's workbooks and XML spreadsheets and,
// under the name of an Excel 97-2003 workbook (.xls), the HTML and text tables that programs
// export under that name; PowerPoint's presentations. Nothing for anything else: a plain text
// import (LibreOffice's answer to a file it does not recognise) never is one for Word or
// PowerPoint, a text that is no table (noise, a binary file) is none for Excel, and neither is
// another suite's format. Only for a text table are the first bytes of the file read.
std::optional<Import> importFor(DocumentFamily family, std::string_view detected, const std::string& path);

// True when path ends with extension, in any letter case, as the applications take their
// extensions.
bool hasExtension(std::string_view path, std::string_view extension);

}

}
