#include "counter_link/com_mutex.h"
#include "counter_link/counter_port.h"
#include "support/sim_workspace.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using nivra::CounterPort;

using nivra::ComMutex;
using nivra::sim::Fault;
using nivra::test::SimWorkspace;

namespace {

// In a child process: tries to take the lock file without waiting. Exit status 0 when it got
// it, 1 when somebody holds it. Only async-signal-safe calls after fork.
int childCanTakeLock(const std::string& path) {
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
    void SetUp() override { nivra::test::usePrivateLockDirectory(); }
};

} // namespace

TEST_F(ComMutexTest, TheLockExcludesOtherProcessesWhileHeld) {
    auto lock = ComMutex::open();
    ASSERT_TRUE(lock);
    lock->lock();
    EXPECT_FALSE(childCanTakeLock(lock->filePath()));
    lock->unlock();
    EXPECT_TRUE(childCanTakeLock(lock->filePath()));
}

TEST_F(ComMutexTest, AHolderThatDiesReleasesTheLock) {
    auto lock = ComMutex::open();
    ASSERT_TRUE(lock);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    int pid = ::fork();
    if (pid == 0) {
        int fd = ::open(lock->filePath().c_str(), O_RDWR);
        if (fd >= 0 && ::flock(fd, LOCK_EX) == 0 && ::write(ready[1], "x", 1) == 1)
            ::pause(); // holds the lock until killed
        ::_exit(1);
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_FALSE(childCanTakeLock(lock->filePath()));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    lock->lock(); // would hang if the dead holder still held it
    lock->unlock();
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST_F(ComMutexTest, APortWithoutAWritableLockFolderIsRefused) {
    nivra::test::TempDir dir;
    const std::string saved = nivra::test::usePrivateLockDirectory();
    ::setenv("NIVRA_LOCK_DIR", dir.file("missing").c_str(), 1);
    {
        SimWorkspace ws;
        ws.addPort("line", {1});
        CounterPort port;
        EXPECT_FALSE(port.open(ws.path("line")));
        EXPECT_EQ(port.lastOpenFailure(), nivra::OpenFailure::kLockUnavailable);
        EXPECT_FALSE(port.isOpen());
    }
    ::setenv("NIVRA_LOCK_DIR", saved.c_str(), 1);
}

TEST_F(ComMutexTest, TheLockIsFreeAfterEveryKindOfFailedExchange) {
    SimWorkspace ws;
    auto& first = ws.addPort("a", {1});
    ws.addPort("b", {2});
    CounterPort a;
    CounterPort b;
    ASSERT_TRUE(a.open(ws.path("a")));
    ASSERT_TRUE(b.open(ws.path("b")));
    auto lock = ComMutex::open();
    std::int32_t count = 0;

    first.setFault(
        1, Fault::wrongStatus(nivra::protocol::REPLY_PRESENT).onlyFor(nivra::protocol::CMD_RESET));
    EXPECT_FALSE(a.resetCount(1));
    EXPECT_TRUE(childCanTakeLock(lock->filePath()));
    EXPECT_TRUE(b.readCount(2, count));

    first.setFault(1, Fault::wrongEcho(7));
    EXPECT_FALSE(a.readCount(1, count));
    EXPECT_TRUE(childCanTakeLock(lock->filePath()));
    EXPECT_TRUE(b.resetCount(2));

    first.setFault(1, Fault::shortReply(1));
    EXPECT_FALSE(a.readCount(1, count));
    EXPECT_TRUE(childCanTakeLock(lock->filePath()));
    EXPECT_TRUE(b.readCount(2, count));
}
