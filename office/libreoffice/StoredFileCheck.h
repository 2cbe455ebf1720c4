#pragma once

#include <string>

namespace office {

// LibreOffice does not report every write that fails: on a full disk its HTML export leaves an
// empty page and empty images behind and returns as if it had stored them. What it stored is
// therefore looked at before it is used or put in place of a previous output.
namespace storedFileCheck {

// Text may be empty (an empty document); every other form holds at least one byte.
enum class Form { Text, AnyBytes, HtmlPage, Pdf };

// Throws ComError when file cannot be read or is empty where its form cannot be, or does not end as a file of
// its form ends (an HTML page with its closing tag, a PDF with its end-of-file marker).
void check(const std::string& file, Form form);

}

}
