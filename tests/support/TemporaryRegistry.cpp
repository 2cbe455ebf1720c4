#include "tests/support/TemporaryRegistry.h"

#include <fstream>
#include <sstream>

TemporaryRegistry::TemporaryRegistry()
    : m_environment("PRESSLING_REGISTRY_DIR", m_folder.path())
{
}

std::string TemporaryRegistry::readUserFile() const
{
    std::ifstream in(userFile(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
