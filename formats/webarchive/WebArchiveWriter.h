#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace formats {

// Packs an HTML page and the files it uses (images, style sheets, the other pages of the same
// export) into one MIME multipart/related document, the web archive a browser opens as a single
// file. Only files inside the page's own folder are read: a reference that leads elsewhere
// (an absolute path, "..", a symbolic link out of the folder) is left out, as is one whose file
// is missing; the page keeps its text either way.
class WebArchiveWriter {
public:
    // Writes archivePath (replacing it only once the whole archive is written). False, with
    // errorMessage(), when the page cannot be read or the archive cannot be written.
    bool write(const std::string& htmlPath, const std::string& archivePath);

    const std::string& errorMessage() const { return m_error; }
    // Paths relative to the page's folder of every part after the page, in the archive's order.
    const std::vector<std::string>& packedFiles() const { return m_packed; }
    // References left out, as the pages wrote them.
    const std::vector<std::string>& skippedReferences() const { return m_skipped; }

    // The moment written as the archive's Date; the present when not set.
    void setDate(std::time_t moment) { m_date = moment; }

private:
    struct Part {
        std::string relativePath;
        bool isPage;
    };

    bool collectParts(const std::string& pageName);
    void addReference(const std::string& reference, const std::string& fromFolder, bool isPage);
    bool resolve(const std::string& reference, const std::string& fromFolder, std::string& relativePath);
    std::string render(const std::string& mainHtml, const std::string& boundary) const;
    std::string location(const std::string& relativePath) const;
    bool readPart(const std::string& relativePath, std::string& bytes) const;

    std::string m_root;
    std::string m_baseUrl;
    std::vector<Part> m_parts;
    std::vector<std::string> m_packed;
    std::vector<std::string> m_skipped;
    std::string m_error;
    std::time_t m_date = 0;
};

}
