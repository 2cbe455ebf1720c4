#pragma once

#include "EngineTestSupport.h"
#include "tests/support/LogCapture.h"

#include "publishing/OfficeApplication.h"

#include <gtest/gtest.h>

#include <ios>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

// One office session over the scripted office, and a fresh folder of documents, for the tests of
// publishing one document.
class ProtectFixture : public ::testing::Test {
protected:
    void SetUp() override;

    std::string document(const std::string& name, const std::string& bytes = "original bytes")
    {
        return m_folder.write(name, bytes);
    }
    // The folder holds exactly these names (sorted), so no backup was left behind.
    void expectFolder(const std::vector<std::string>& names)
    {
        EXPECT_EQ(folderEntries(m_folder.path()), names);
    }

    std::unique_ptr<TestRegistry> m_registry;
    std::shared_ptr<OfficeScript> m_script = std::make_shared<OfficeScript>();
    std::unique_ptr<OfficeApplication> m_session;
    TemporaryFolder m_folder;
};

// The file's status without following a symlink; all zero when there is nothing.
struct stat statusOf(const std::string& path);
// The permission bits of what path leads to, 0 when nothing is there.
mode_t modeOf(const std::string& path);

// A backup as a job that is gone leaves it: made by a child process (which took flock on it, as
// a job does) that has exited since. mode is the document's mode that the backup records.
void plantAbandonedFile(const std::string& path, const std::string& bytes, mode_t mode);

// Another process, still running, that holds flock(LOCK_EX) on path (a file or a folder) until
// the object goes.
class LiveLockHolder {
public:
    explicit LiveLockHolder(const std::string& path);
    LiveLockHolder(const LiveLockHolder&) = delete;
    LiveLockHolder& operator=(const LiveLockHolder&) = delete;
    ~LiveLockHolder();

    bool holds() const { return m_holds; }

private:
    pid_t m_child = -1;
    int m_release = -1;
    bool m_holds = false;
};
