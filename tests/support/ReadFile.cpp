#include "tests/support/ReadFile.h"

#include <fstream>
#include <sstream>

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
