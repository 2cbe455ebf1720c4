#include "platform/BrokenPipes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

// Catches a write to a pipe whose reader is gone ending the process instead of failing, which
// is what a write to an office that died in the middle of a call comes to.
TEST(BrokenPipes, AWriteToAClosedPipeFailsInsteadOfEndingTheProcess)
{
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::ignoreBrokenPipes();
        int ends[2];
        if (::pipe(ends) != 0)
            ::_exit(2);
        ::close(ends[0]);
        char byte = 1;
        bool refused = ::write(ends[1], &byte, 1) < 0 && errno == EPIPE;
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
