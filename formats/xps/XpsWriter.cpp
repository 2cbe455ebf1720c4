#include "formats/xps/XpsWriter.h"

#include "formats/xps/XpsPackage.h"
#include "formats/xps/XpsPageWriter.h"
#include "platform/ChildProcess.h"
#include "platform/FileOperations.h"

#include <cstring>
#include <filesystem>
#include <sstream>

namespace formats {

namespace {

// The largest SVG page read back from the converter. A page of an office document is a few
// megabytes even with its images embedded; the whole page is parsed in memory, so a page past
// this bound is refused instead of exhausting the memory.
constexpr uint64_t maximumPageSize = 256ull * 1024 * 1024;

// A private folder for the converter's SVG pages, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pressling-xps-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

std::string firstLines(const std::string& text)
{
    std::string result = text.substr(0, 400);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

}

bool XpsWriter::write(const std::string& pdfPath, const std::string& xpsPath)
{
    m_error.clear();
    m_pageCount = 0;
    ScratchFolder scratch;
    if (scratch.path().empty()) {
        m_error = "cannot create a temporary folder for the XPS pages";
        return false;
    }
    int pages = countPages(pdfPath);
    if (pages <= 0) {
        // Let pdftocairo say what is wrong with the file, in its own words.
        if (m_error.empty() || convertPage(pdfPath, 1, scratch.path() + "/probe.svg"))
            m_error = m_error.empty() ? pdfPath + " has no pages" : m_error;
        return false;
    }
    XpsPackage package;
    package.setCoreProperties(m_title, m_language);
    for (int page = 1; page <= pages; ++page) {
        std::string svgPath = scratch.path() + "/" + std::to_string(page) + ".svg";
        if (!convertPage(pdfPath, page, svgPath))
            return false;
        std::string bytes;
        int readError = 0;
        bool read = platform::fileOperations::readAll(svgPath, bytes, maximumPageSize, readError);
        std::filesystem::remove(svgPath);
        if (!read) {
            m_error = "page " + std::to_string(page) + " of " + pdfPath
                + ": cannot read the converter's page: " + std::strerror(readError);
            return false;
        }
        XpsPageWriter writer;
        writer.setLanguage(m_language);
        std::string error;
        if (!writer.convert(bytes, page, error)) {
            m_error = "page " + std::to_string(page) + " of " + pdfPath + ": " + error;
            return false;
        }
        package.addPage(writer);
    }
    if (!package.write(xpsPath)) {
        m_error = package.errorMessage();
        return false;
    }
    m_pageCount = pages;
    return true;
}

int XpsWriter::countPages(const std::string& pdfPath)
{
    auto result = platform::ChildProcess::run({ "pdfinfo", pdfPath }, m_pageTimeout);
    if (!result.started) {
        m_error = result.error;
        return -1;
    }
    if (!result.succeeded()) {
        m_error = "pdfinfo: " + firstLines(result.standardError);
        return -1;
    }
    std::istringstream lines(result.standardOutput);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Pages:", 0) == 0)
            return std::atoi(line.c_str() + 6);
    }
    return 0;
}

bool XpsWriter::convertPage(const std::string& pdfPath, int page, const std::string& svgPath)
{
    std::string number = std::to_string(page);
    auto result = platform::ChildProcess::run(
        { "pdftocairo", "-svg", "-f", number, "-l", number, pdfPath, svgPath }, m_pageTimeout);
    if (!result.started) {
        m_error = result.error;
        return false;
    }
    if (!result.succeeded()) {
        m_error = result.error.empty() ? "pdftocairo: " + firstLines(result.standardError) : result.error;
        return false;
    }
    return true;
}

}
