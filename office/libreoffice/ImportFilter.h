#pragma once

#include <string_view>

namespace office {

// The application a document is opened for.
enum class DocumentFamily { Word, Excel, PowerPoint };

namespace importFilter {

// The LibreOffice import filter that loads a file for which type detection chose detected, when
// that reads one of the formats the application itself opens: Word's binary and Open XML
// documents and the RTF and HTML files Word opens as well; Excel's workbooks, its XML
// spreadsheets and HTML tables; PowerPoint's presentations. Empty for anything else: a plain
// text import (LibreOffice's answer to a file it does not recognise) is never one, and neither
// is another suite's format.
std::string_view loadingFilter(DocumentFamily family, std::string_view detected);

}

}
