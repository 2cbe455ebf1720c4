#include "office/libreoffice/ScratchFolder.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace office {

namespace {

constexpr size_t longestFileName = 255;
const std::string namePrefix = ".~pressling-";
const std::string nameSuffix = "-XXXXXX";

}

ScratchFolder::ScratchFolder(const std::string& targetFile)
    : m_target(targetFile)
{
}

ScratchFolder::~ScratchFolder()
{
    m_abortCleanup.reset();
    m_folder.remove();
}

std::string ScratchFolder::namePattern(const std::string& targetName)
{
    size_t length = std::min(targetName.size(), longestFileName - namePrefix.size() - nameSuffix.size());
    // The cut never falls inside a UTF-8 sequence, so that what is left of the name stays text.
    while (length > 0 && length < targetName.size()
        && (static_cast<unsigned char>(targetName[length]) & 0xC0) == 0x80)
        --length;
    return namePrefix + targetName.substr(0, length) + nameSuffix;
}

bool ScratchFolder::create()
{
    std::filesystem::path target(m_target);
    std::string folder = target.parent_path().string();
    std::string pattern
        = (folder.empty() ? std::string(".") : folder) + "/" + namePattern(target.filename().string());
    int error = 0;
    if (!m_folder.create(pattern, error)) {
        m_error = "cannot create a scratch folder beside " + m_target + ": " + std::strerror(error);
        return false;
    }
    m_abortCleanup.emplace([this] { m_folder.remove(); });
    return true;
}

std::vector<std::string> ScratchFolder::entries() const
{
    return m_folder.entries();
}

bool ScratchFolder::moveOut(const std::string& name, const std::string& target, int& error)
{
    return m_folder.moveOut(name, target, error);
}

}
