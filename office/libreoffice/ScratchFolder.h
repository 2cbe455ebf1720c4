#pragma once

#include <string>

namespace office {

// A hidden folder beside a target file for the intermediate files of one export (the HTML
// behind a web archive, the PDF behind an XPS package), removed with everything in it.
// Beside the target rather than in /tmp, so that the final write is on the same file system.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& targetFile);
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    bool create();
    const std::string& error() const { return m_error; }
    std::string file(const std::string& name) const { return m_folder + "/" + name; }

private:
    std::string m_target;
    std::string m_folder;
    std::string m_error;
};

}
