#include "counter_link/com_mutex.h"
#include "counter_link/counter_port.h"
#include "support/sim_workspace.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using nivra::ComMutex;
using nivra::sim::Fault;
using nivra::test::SimWorkspace;

namespace {

// In a child process: tries to take the lock file without waiting. Exit status 0 when it got
// it, 1 when somebody holds it. Only async-signal-safe calls after fork.
int ChildCanTakeLock(const std::string& path) {
    int pid = ::fork();
    if (pid == 0) {
        int fd = ::open(path.c_str(), O_RDWR);
        ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class ComMutexTest : public ::testing::Test {
protected:
    void SetUp() override { nivra::test::UsePrivateLockDirectory(); }
};

} // namespace

TEST_F(ComMutexTest, TheLockExcludesOtherProcessesWhileHeld) {
    auto lock = ComMutex::Open();
    ASSERT_TRUE(lock);
    lock->lock();
    EXPECT_FALSE(ChildCanTakeLock(lock->FilePath()));
    lock->unlock();
    EXPECT_TRUE(ChildCanTakeLock(lock->FilePath()));
}

TEST_F(ComMutexTest, AHolderThatDiesReleasesTheLock) {
    auto lock = ComMutex::Open();
    ASSERT_TRUE(lock);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    int pid = ::fork();
    if (pid == 0) {
        int fd = ::open(lock->FilePath().c_str(), O_RDWR);
        if (fd >= 0 && ::flock(fd, LOCK_EX) == 0 && ::write(ready[1], "x", 1) == 1)
            ::pause(); // holds the lock until killed
        ::_exit(1);
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_FALSE(ChildCanTakeLock(lock->FilePath()));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    lock->lock(); // would hang if the dead holder still held it
    lock->unlock();
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(ComMutexTest, APortWithoutAWritableLockFolderIsRefused) {
    nivra::test::TempDir dir;
    const std::string saved = nivra::test::UsePrivateLockDirectory();
    ::setenv("NIVRA_LOCK_DIR", dir.file("missing").c_str(), 1);
    {
        SimWorkspace ws;
        ws.AddPort("line", {1});
        CCounterPort port;
        EXPECT_FALSE(port.Open(ws.Path("line")));
        EXPECT_EQ(port.LastOpenFailure(), nivra::OpenFailure::kLockUnavailable);
        EXPECT_FALSE(port.IsOpen());
    }
    ::setenv("NIVRA_LOCK_DIR", saved.c_str(), 1);
}

TEST_F(ComMutexTest, TheLockIsFreeAfterEveryKindOfFailedExchange) {
    SimWorkspace ws;
    auto& first = ws.AddPort("a", {1});
    ws.AddPort("b", {2});
    CCounterPort a;
    CCounterPort b;
    ASSERT_TRUE(a.Open(ws.Path("a")));
    ASSERT_TRUE(b.Open(ws.Path("b")));
    auto lock = ComMutex::Open();
    std::int32_t count = 0;

    first.SetFault(
        1, Fault::WrongStatus(nivra::protocol::REPLY_PRESENT).OnlyFor(nivra::protocol::CMD_RESET));
    EXPECT_FALSE(a.ResetCount(1));
    EXPECT_TRUE(ChildCanTakeLock(lock->FilePath()));
    EXPECT_TRUE(b.ReadCount(2, count));

    first.SetFault(1, Fault::WrongEcho(7));
    EXPECT_FALSE(a.ReadCount(1, count));
    EXPECT_TRUE(ChildCanTakeLock(lock->FilePath()));
    EXPECT_TRUE(b.ResetCount(2));

    first.SetFault(1, Fault::ShortReply(1));
    EXPECT_FALSE(a.ReadCount(1, count));
    EXPECT_TRUE(ChildCanTakeLock(lock->FilePath()));
    EXPECT_TRUE(b.ReadCount(2, count));
}
