#pragma once

#include "office/ExcelApplication.h"
#include "office/PowerPointApplication.h"
#include "office/WordApplication.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "tests/support/ReadFile.h"

#include <string>
#include <vector>

// Shared by the office tests: where the real documents are, one LibreOffice for the whole test
// program (started on first use, ended after the last test), and the outside readers that
// check what was published.
namespace officetest {

std::string corpus(const std::string& relative);
std::string testData(const std::string& relative);
// The files of a corpus folder whose names end with one of the extensions, sorted.
std::vector<std::string> corpusFiles(const std::string& folder, const std::vector<std::string>& extensions);

office::LibreOfficeAutomation& sharedOffice();
// One application of each kind on the shared office, set up as the session sets them up.
std::shared_ptr<office::WordApplication> sharedWord();
// Word of a session of the test's own.
std::shared_ptr<office::WordApplication> startWord(office::LibreOfficeAutomation& automation);
std::shared_ptr<office::ExcelApplication> sharedExcel();
std::shared_ptr<office::PowerPointApplication> sharedPowerPoint();

using ::readFile;
bool fileExists(const std::string& path);

// True once no office runs with the profile at profileUrl any more, waiting up to five seconds.
bool officeGone(const std::string& profileUrl);

// The outside readers. Each fails the current test when the reader itself fails.
// What pdfinfo says of the PDF.
std::string pdfInfo(const std::string& pdf);
int pdfPageCount(const std::string& pdf);
std::string pdfText(const std::string& pdf);
// The DOM after headless Chromium has loaded the page (HTML or MHTML).
std::string chromiumDom(const std::string& page);
// The PDF that libgxps renders from an XPS package.
std::string xpsAsPdf(const std::string& xps, const std::string& pdf);

// UTF-16 LE bytes (after a byte order mark) as UTF-8; false when they are not valid UTF-16.
bool decodeUtf16Le(const std::string& bytes, std::string& utf8);
// True when every LF is preceded by CR and every CR followed by LF.
bool onlyCrlfLineEnds(const std::string& text);
// Up to count distinct words of at least five ASCII letters, in the order they appear.
std::vector<std::string> sampleWords(const std::string& text, size_t count);
// text without white space, so that words broken across lines or cells by a renderer still
// compare.
std::string squeezed(const std::string& text);

}
