#include "office/libreoffice/ScratchFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace office {

ScratchFolder::ScratchFolder(const std::string& targetFile)
    : m_target(targetFile)
{
}

ScratchFolder::~ScratchFolder()
{
    if (m_folder.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

bool ScratchFolder::create()
{
    std::filesystem::path target(m_target);
    std::string folder = target.parent_path().string();
    std::string pattern = (folder.empty() ? std::string(".") : folder) + "/.~pressling-"
        + target.filename().string() + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        m_error = "cannot create a scratch folder beside " + m_target + ": " + std::strerror(errno);
        return false;
    }
    m_folder = name.data();
    return true;
}

}
