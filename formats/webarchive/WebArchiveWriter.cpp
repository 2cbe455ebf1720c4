#include "formats/webarchive/WebArchiveWriter.h"

#include "formats/webarchive/WebArchiveEncoding.h"
#include "formats/webarchive/WebArchiveReferences.h"
#include "platform/FileOperations.h"
#include "platform/PercentEncoding.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sys/stat.h>

namespace formats {

namespace {

using namespace webarchive;

// Browsers resolve the page's references against the page's Content-Location and look the
// result up among the parts. Chromium does not do that for file: URLs, and the export's
// temporary folder means nothing to a reader, so every part is named under one fixed base
// of a domain that never resolves.
constexpr const char* baseUrl = "http://pressling.invalid/";

// More parts than any export makes; it bounds what a page that links in circles can cost.
constexpr size_t maximumParts = 10000;

// The most one page, style sheet or image of an export may hold. The whole archive is built in
// memory, and a part of this size is already far beyond what a browser opens in a web archive;
// the bound keeps a huge or endless file in the folder from exhausting the memory instead.
constexpr uint64_t maximumPartSize = 256ull * 1024 * 1024;

bool readFile(const std::string& path, std::string& bytes, int& error)
{
    return platform::fileOperations::readAll(path, bytes, maximumPartSize, error);
}

std::string folderOf(const std::string& relativePath)
{
    size_t slash = relativePath.rfind('/');
    return slash == std::string::npos ? std::string() : relativePath.substr(0, slash + 1);
}

bool isStyleSheet(const std::string& relativePath)
{
    return contentTypeFor(relativePath) == "text/css";
}

std::string newBoundary()
{
    std::random_device device;
    char text[48];
    std::snprintf(text, sizeof(text), "----=_NextPart_000_%08X.%08X", device(), device());
    return text;
}

}

bool WebArchiveWriter::write(const std::string& htmlPath, const std::string& archivePath)
{
    m_parts.clear();
    m_packed.clear();
    m_skipped.clear();
    m_error.clear();
    char real[PATH_MAX];
    if (!realpath(htmlPath.c_str(), real)) {
        m_error = "cannot read the page " + htmlPath + ": " + std::strerror(errno);
        return false;
    }
    std::string page = real;
    m_root = page.substr(0, page.rfind('/'));
    m_baseUrl = baseUrl;
    std::string mainHtml;
    int error = 0;
    if (!readFile(page, mainHtml, error)) {
        m_error = "cannot read the page " + htmlPath + ": " + std::strerror(error);
        return false;
    }
    if (!collectParts(page.substr(m_root.size() + 1)))
        return false;

    std::string archive = render(mainHtml, newBoundary());
    if (!platform::fileOperations::writeFileAtomically(archivePath, archive, 0644, error)) {
        m_error = "cannot write " + archivePath + ": " + std::strerror(error);
        return false;
    }
    return true;
}

bool WebArchiveWriter::collectParts(const std::string& pageName)
{
    m_parts.push_back({ pageName, true });
    for (size_t index = 0; index < m_parts.size(); ++index) {
        Part part = m_parts[index];
        if (!part.isPage && !isStyleSheet(part.relativePath))
            continue;
        std::string text;
        if (!readPart(part.relativePath, text)) {
            if (index == 0) {
                m_error = "cannot read the page " + part.relativePath;
                return false;
            }
            continue;
        }
        std::string folder = folderOf(part.relativePath);
        if (part.isPage) {
            for (const Reference& reference : htmlReferences(text))
                addReference(reference.text, folder, reference.kind == ReferenceKind::Page);
        } else {
            for (const std::string& reference : cssReferences(text))
                addReference(reference, folder, false);
        }
    }
    return true;
}

void WebArchiveWriter::addReference(const std::string& reference, const std::string& fromFolder, bool isPage)
{
    std::string relativePath;
    if (!resolve(reference, fromFolder, relativePath))
        return;
    bool known = std::any_of(
        m_parts.begin(), m_parts.end(), [&](const Part& part) { return part.relativePath == relativePath; });
    if (known || m_parts.size() >= maximumParts)
        return;
    m_parts.push_back({ relativePath, isPage });
    m_packed.push_back(relativePath);
}

bool WebArchiveWriter::resolve(
    const std::string& reference, const std::string& fromFolder, std::string& relativePath)
{
    std::string text = reference;
    text.erase(0, text.find_first_not_of(" \t\r\n"));
    text.erase(text.find_last_not_of(" \t\r\n") + 1);
    text = text.substr(0, text.find_first_of("?#"));
    if (text.empty())
        return false; // a jump inside the same page
    size_t colon = text.find(':');
    if (colon != std::string::npos && colon < text.find('/')) {
        // A URL of its own (http:, data:, mailto:); a browser resolves it without us, except
        // file: URLs, which point outside the export.
        if (text.compare(0, 5, "file:") == 0)
            m_skipped.push_back(reference);
        return false;
    }
    auto skip = [&] {
        m_skipped.push_back(reference);
        return false;
    };
    std::string decoded = platform::percentEncoding::decoded(text);
    if (decoded.front() == '/' || decoded.find('\\') != std::string::npos
        || decoded.find('\0') != std::string::npos)
        return skip();
    std::string joined;
    std::string combined = fromFolder + decoded;
    for (size_t start = 0; start <= combined.size();) {
        size_t end = std::min(combined.find('/', start), combined.size());
        std::string segment = combined.substr(start, end - start);
        start = end + 1;
        if (segment.empty() || segment == ".")
            continue;
        if (segment == "..")
            return skip();
        joined += (joined.empty() ? "" : "/") + segment;
    }
    char real[PATH_MAX];
    struct stat status;
    std::string full = m_root + "/" + joined;
    if (joined.empty() || !realpath(full.c_str(), real) || stat(real, &status) != 0
        || !S_ISREG(status.st_mode))
        return skip();
    // A symbolic link may lead out of the folder even though the path itself stays inside.
    if (std::string(real).compare(0, m_root.size() + 1, m_root + "/") != 0)
        return skip();
    relativePath = joined;
    return true;
}

std::string WebArchiveWriter::location(const std::string& relativePath) const
{
    return m_baseUrl + platform::percentEncoding::encodedPath(relativePath);
}

bool WebArchiveWriter::readPart(const std::string& relativePath, std::string& bytes) const
{
    int ignored = 0;
    return readFile(m_root + "/" + relativePath, bytes, ignored);
}

std::string WebArchiveWriter::render(const std::string& mainHtml, const std::string& boundary) const
{
    std::string out;
    out += "From: <Saved by Pressling>\r\n";
    out += "Snapshot-Content-Location: " + location(m_parts.front().relativePath) + "\r\n";
    out += "Subject: " + headerText(htmlTitle(mainHtml)) + "\r\n";
    out += "Date: " + mailDate(m_date ? m_date : std::time(nullptr)) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: multipart/related;\r\n\ttype=\"text/html\";\r\n\tboundary=\"" + boundary
        + "\"\r\n\r\n";
    out += "This is a multi-part message in MIME format.\r\n\r\n";
    for (size_t index = 0; index < m_parts.size(); ++index) {
        const Part& part = m_parts[index];
        std::string bytes;
        if (index == 0)
            bytes = mainHtml;
        else if (!readPart(part.relativePath, bytes))
            continue;
        out += "--" + boundary + "\r\n";
        if (part.isPage) {
            out += "Content-Type: text/html; charset=\"" + htmlCharset(bytes) + "\"\r\n";
            out += "Content-Transfer-Encoding: quoted-printable\r\n";
            out += "Content-Location: " + location(part.relativePath) + "\r\n\r\n";
            out += quotedPrintable(bytes);
        } else {
            out += "Content-Type: " + contentTypeFor(part.relativePath) + "\r\n";
            out += "Content-Transfer-Encoding: base64\r\n";
            out += "Content-Location: " + location(part.relativePath) + "\r\n\r\n";
            out += base64Lines(bytes);
        }
        // This line break belongs to the boundary that follows, not to the part.
        out += "\r\n";
    }
    out += "--" + boundary + "--\r\n";
    return out;
}

}
