#include "tests/support/LogCapture.h"

#include "foundation/LogConfiguration.h"
#include "platform/ProgramName.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// Points logging at a file of this process before any test runs; the registry folder is only
// needed while logging reads its key, after which each test sets up a registry of its own.
class LoggingEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_folder.write("registry/user.reg",
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\" + platform::programName()
                + "\\Log]\n\"dir\"=\"" + m_folder.path() + "\"\n\"filename\"=\"test.log\"\n"
                + "\"level\"=dword:00000003\n");
        ScopedEnvironment registry("PRESSLING_REGISTRY_DIR", m_folder.file("registry"));
        LogConfiguration::get();
    }

    std::string logFile() const { return m_folder.file("test.log"); }

private:
    TemporaryFolder m_folder;
};

LoggingEnvironment* const environment
    = static_cast<LoggingEnvironment*>(::testing::AddGlobalTestEnvironment(new LoggingEnvironment));

uint64_t fileSize(const std::string& path)
{
    std::error_code error;
    uint64_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

}

LogCapture::LogCapture()
    : m_start(fileSize(environment->logFile()))
{
}

std::string LogCapture::text() const
{
    std::ifstream in(environment->logFile(), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(m_start));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool LogCapture::contains(const std::string& line) const
{
    return count(line) > 0;
}

int LogCapture::count(const std::string& line) const
{
    std::string logged = text();
    int found = 0;
    for (size_t at = logged.find(line); at != std::string::npos; at = logged.find(line, at + line.size()))
        ++found;
    return found;
}
