#include "platform/ProcessAccount.h"
#include "platform/ChildProcess.h"
#include "tests/platform/CommandOutput.h"

#include <gtest/gtest.h>

#include <unistd.h>

using platform::ChildProcess;
using platform::ProcessAccount;
using namespace std::chrono_literals;

// Catches an account read from the wrong process or the wrong field, and a name made up for a
// process that has ended: the system's own tools say who we are and what the host is called.
TEST(ProcessAccount, NamesTheAccountsOfRealProcessesAndNoneForAnEndedOne)
{
    ProcessAccount accounts;
    EXPECT_EQ(accounts.accountOf(getpid()), commandOutput({ "id", "-un" }));
    EXPECT_EQ(ProcessAccount::ownAccount(), commandOutput({ "id", "-un" }));
    EXPECT_EQ(accounts.accountOf(1), commandOutput({ "stat", "-c", "%U", "/proc/1" }));
    EXPECT_EQ(ProcessAccount::hostName(), commandOutput({ "hostname" }));
    ChildProcess child;
    ASSERT_TRUE(child.start({ "true" }));
    pid_t ended = child.pid();
    child.waitFor(10s);
    EXPECT_FALSE(accounts.accountOf(ended));
    EXPECT_FALSE(accounts.accountOf(0));
    EXPECT_FALSE(accounts.accountOf(-1));
}

// Catches a process run by another user answered with our account: as root, a child can be
// made to run as nobody.
TEST(ProcessAccount, ProcessOfAnotherUserIsThatUsers)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can start a process as another user here";
    ChildProcess child;
    ASSERT_TRUE(
        child.start({ "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "sleep", "30" }));
    const std::string nobody = commandOutput({ "id", "-un", "65534" });
    std::optional<std::string> account;
    for (int attempt = 0; attempt < 500 && account != nobody; ++attempt) {
        account = ProcessAccount().accountOf(child.pid());
        usleep(10000);
    }
    EXPECT_EQ(account, nobody);
    child.kill(0ms);
}
