#include "ProtectFixture.h"

#include "publishing/OfficeVersion.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

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
