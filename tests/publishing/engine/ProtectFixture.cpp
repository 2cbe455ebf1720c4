#include "ProtectFixture.h"

#include "foundation/LogConfiguration.h"
#include "platform/ProgramName.h"
#include "publishing/OfficeVersion.h"
#include "tests/support/ScopedEnvironment.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Points the log of this process at a file of its own before any test runs. The log reads its
// settings once, so the registry that holds them is only needed for that first read; the tests
// then bring registries of their own.
class LogFile {
public:
    LogFile()
    {
        std::filesystem::create_directories(m_folder.file("registry"));
        std::ofstream(m_folder.file("registry/user.reg"))
            << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\" << platform::programName()
            << "\\Log]\n"
            << "\"dir\"=\"" << m_folder.path() << "\"\n"
            << "\"filename\"=\"engine.log\"\n"
            << "\"level\"=dword:00000003\n";
        ScopedEnvironment registry("PRESSLING_REGISTRY_DIR", m_folder.file("registry"));
        LogConfiguration::get();
    }
    std::string path() const { return m_folder.file("engine.log"); }

private:
    TemporaryFolder m_folder;
};

const LogFile& logFile()
{
    static const LogFile* instance = new LogFile();
    return *instance;
}

const bool configuredAtStart = (logFile(), true);

std::streamoff sizeOf(const std::string& path)
{
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::streamoff>(size);
}

}

void ProtectFixture::SetUp()
{
    OfficeVersion::resetCache();
    m_registry = std::make_unique<TestRegistry>();
    m_session = std::make_unique<OfficeApplication>(std::make_unique<ScriptedAutomation>(m_script), 1, 1, 1);
}

struct stat statusOf(const std::string& path)
{
    struct stat status { };
    if (::lstat(path.c_str(), &status) != 0)
        status = {};
    return status;
}

mode_t modeOf(const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return 0;
    return status.st_mode & 07777;
}

LogCapture::LogCapture()
    : m_start(sizeOf(logFile().path()))
{
}

std::string LogCapture::text() const
{
    std::ifstream in(logFile().path(), std::ios::binary);
    in.seekg(m_start);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool LogCapture::contains(const std::string& line) const
{
    return text().find(line) != std::string::npos;
}

void plantAbandonedFile(const std::string& path, const std::string& bytes, mode_t mode)
{
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
        bool made = descriptor >= 0 && ::flock(descriptor, LOCK_EX) == 0
            && ::write(descriptor, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size())
            && ::fchmod(descriptor, mode) == 0;
        ::_exit(made ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << path;
}

LiveLockHolder::LiveLockHolder(const std::string& path)
{
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0)
        return;
    m_child = ::fork();
    if (m_child == 0) {
        ::close(release[1]);
        int descriptor = ::open(path.c_str(), O_RDONLY);
        char answer = descriptor >= 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
        ssize_t ignored = ::write(ready[1], &answer, 1);
        ignored = ::read(release[0], &answer, 1);
        (void)ignored;
        ::_exit(0);
    }
    char answer = 'n';
    m_holds = m_child > 0 && ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    m_release = release[1];
    ::close(ready[0]);
    ::close(ready[1]);
    ::close(release[0]);
}

LiveLockHolder::~LiveLockHolder()
{
    if (m_release >= 0)
        ::close(m_release);
    if (m_child > 0)
        ::waitpid(m_child, nullptr, 0);
}
