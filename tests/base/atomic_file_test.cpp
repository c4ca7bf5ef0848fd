// What interrupted atomic saves leave behind, and what the next save of the same file removes.

#include "base/atomic_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using nivra::test::fileExists;
using nivra::test::writeFileBytes;

TEST(AtomicFileLeftovers, TheNextSaveRemovesTheTemporariesOfEndedProcessesOnly) {
    nivra::test::TempDir dir;
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string ended = std::to_string(child);
    const std::string prefix = ".backup_1.dax.tmp-";
    const std::vector<std::string> removed = {prefix + ended + "-0", prefix + ended + "-17",
                                              // of an earlier process with this process's id
                                              prefix + std::to_string(::getpid()) + "-4000000"};
    const std::vector<std::string> kept = {prefix + std::to_string(::getppid()) +
                                               "-3", // a running process's save, maybe under way
                                           ".backup_2.dax.tmp-" + ended + "-0", prefix + ended,
                                           prefix + ended + "-1x", prefix + "0-0"};
    for (const auto& name : removed)
        writeFileBytes(dir.file(name), "torn");
    for (const auto& name : kept)
        writeFileBytes(dir.file(name), "other");

    ASSERT_TRUE(nivra::replaceFileAtomically(dir.file("backup_1.dax"), "new content"));
    for (const auto& name : removed)
        EXPECT_FALSE(fileExists(dir.file(name))) << name;
    for (const auto& name : kept)
        EXPECT_TRUE(fileExists(dir.file(name))) << name;
}
