#include "platform/RegistryStore.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using platform::RegistryRoot;
using platform::RegistryStore;
using platform::RegistryValue;

namespace {

constexpr int processCount = 4;
constexpr int threadCount = 4;
constexpr int writesPerThread = 15;

std::string valueName(int process, int thread, int write)
{
    return "P" + std::to_string(process) + "T" + std::to_string(thread) + "W" + std::to_string(write);
}

uint32_t valueData(int process, int thread, int write)
{
    return static_cast<uint32_t>(process * 10000 + thread * 100 + write);
}

// The work of one writer process: its threads write their values side by side. Returns the
// number of writes that reported a failure.
int writeFromThreads(const std::string& path, int process)
{
    std::atomic<int> failures { 0 };
    std::vector<std::thread> threads;
    for (int thread = 0; thread < threadCount; ++thread) {
        threads.emplace_back([&, thread] {
            RegistryStore store(RegistryRoot::CurrentUser, path);
            for (int write = 0; write < writesPerThread; ++write) {
                // Half the threads share one key, the others have a key each, so both a value
                // beside another's and a key beside another's must survive.
                std::string key = thread % 2
                    ? "Shared"
                    : "Own\\" + std::to_string(process) + "_" + std::to_string(thread);
                if (!store.writeValue(key,
                        RegistryValue::dword(
                            valueName(process, thread, write), valueData(process, thread, write))))
                    ++failures;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return failures;
}

}

// Writers in several processes and threads must never lose each other's values: each write reads
// the file again under the lock before it replaces the file.
TEST(RegistryConcurrency, NoWriteIsLostAcrossProcessesAndThreads)
{
    TemporaryFolder folder;
    std::string path = folder.file("user.reg");
    std::vector<pid_t> children;
    for (int process = 0; process < processCount; ++process) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            _exit(writeFromThreads(path, process) == 0 ? 0 : 1);
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer reported a failed write";
    }

    RegistryStore store(RegistryRoot::CurrentUser, path);
    int missing = 0;
    for (int process = 0; process < processCount; ++process) {
        for (int thread = 0; thread < threadCount; ++thread) {
            std::string key
                = thread % 2 ? "Shared" : "Own\\" + std::to_string(process) + "_" + std::to_string(thread);
            for (int write = 0; write < writesPerThread; ++write) {
                auto value = store.readValue(key, valueName(process, thread, write));
                if (!value || value->asDword() != valueData(process, thread, write))
                    ++missing;
            }
        }
    }
    EXPECT_EQ(missing, 0) << "of " << processCount * threadCount * writesPerThread << " writes";
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "user.reg" || name == "user.reg.lock") << "left behind: " << name;
    }
}
