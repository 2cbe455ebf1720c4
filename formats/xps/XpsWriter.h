#pragma once

#include <chrono>
#include <string>

namespace formats {

// Writes an XPS document from a PDF with the same pages in vector form: poppler's pdftocairo
// draws each page as SVG, and each SVG page becomes a FixedPage (see XpsPageWriter).
class XpsWriter {
public:
    // False, with errorMessage() (the converter's own message where it has one), when the PDF
    // cannot be converted or the XPS cannot be written. An existing file at xpsPath is replaced
    // only by a complete package.
    bool write(const std::string& pdfPath, const std::string& xpsPath);
    const std::string& errorMessage() const { return m_error; }
    int pageCount() const { return m_pageCount; }
    // The document's title and language (a BCP 47 tag), written to the package's core properties
    // and its pages; either may be empty.
    void setDocumentProperties(const std::string& title, const std::string& language)
    {
        m_title = title;
        m_language = language;
    }

    // The longest a single page may take to convert.
    void setPageTimeout(std::chrono::milliseconds timeout) { m_pageTimeout = timeout; }

private:
    int countPages(const std::string& pdfPath);
    bool convertPage(const std::string& pdfPath, int page, const std::string& svgPath);

    std::string m_error;
    std::string m_title;
    std::string m_language;
    int m_pageCount = 0;
    std::chrono::milliseconds m_pageTimeout { 120000 };
};

}
