#include "tests/cli/CliTestSupport.h"

#include <cstdlib>
#include <filesystem>

std::string cliPath()
{
    if (const char* binaryDir = std::getenv("PRESSLING_BINARY_DIR"); binaryDir && *binaryDir)
        return std::string(binaryDir) + "/cli/pressling-cli";
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (self.parent_path().parent_path().parent_path() / "cli" / "pressling-cli").string();
}
