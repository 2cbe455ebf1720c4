#pragma once

#include "formats/xps/XpsPageWriter.h"
#include "formats/zip/ZipWriter.h"

#include <string>
#include <vector>

namespace formats {

// An XPS document as an OPC package: one fixed document of fixed pages, each page with the
// relationships to the images it paints.
class XpsPackage {
public:
    void addPage(const XpsPageWriter& page);
    // The title and language of the package's core properties; with both empty it has none.
    void setCoreProperties(const std::string& title, const std::string& language)
    {
        m_title = title;
        m_language = language;
    }
    int pageCount() const { return m_pageCount; }
    // False, with errorMessage(), when the package cannot be written.
    bool write(const std::string& path);
    const std::string& errorMessage() const { return m_error; }

private:
    // What the fixed document says of each page: its part and its size.
    struct PageContent {
        std::string source;
        std::string width;
        std::string height;
    };

    std::vector<PageContent> m_pages;
    int m_pageCount = 0;
    bool m_hasJpeg = false;
    bool m_hasPng = false;
    ZipWriter m_zip;
    std::string m_title;
    std::string m_language;
    std::string m_error;
};

}
