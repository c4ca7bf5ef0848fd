// What interrupted atomic saves leave behind, and what the next save of the same file removes.

#include "base/atomic_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
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

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode;
}

mode_t currentUmask() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

} // namespace

// A link at the output's name is replaced by the new file: what it pointed to stays as it was,
// and the new file has the mode of a new file, never the target's (set-id bits included).
TEST(AtomicFileOutputs, ALinkAtTheNameIsReplacedNeverWrittenThrough) {
    nivra::test::TempDir dir;
    writeFileBytes(dir.file("precious"), "precious");
    ASSERT_EQ(::chmod(dir.file("precious").c_str(), 04755), 0);
    const std::vector<std::string> targets = {dir.file("precious"), dir.file("missing")};
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::string out = dir.file("out" + std::to_string(i) + ".csv");
        ASSERT_EQ(::symlink(targets[i].c_str(), out.c_str()), 0);
        const nivra::Outcome written = nivra::writeFileAtomically(out, "new");
        ASSERT_TRUE(written.ok()) << written.error();
        EXPECT_TRUE(S_ISREG(modeOf(out))) << out;
        EXPECT_EQ(modeOf(out) & 07777, 0666 & ~currentUmask()) << out;
        EXPECT_EQ(nivra::test::readFileBytes(out), "new");
    }
    EXPECT_EQ(nivra::test::readFileBytes(dir.file("precious")), "precious");
    EXPECT_EQ(modeOf(dir.file("precious")) & 07777, 04755u);
    EXPECT_FALSE(fileExists(dir.file("missing")));
}

// A full disk (here a file size limit): the write fails with the system's reason, the earlier
// file keeps its content, and no temporary file is left.
TEST(AtomicFileOutputs, AFailedWriteKeepsTheOldFileAndSaysWhy) {
    nivra::test::TempDir dir;
    const std::string out = dir.file("export.csv");
    writeFileBytes(out, "earlier export");
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const nivra::Outcome written = nivra::writeFileAtomically(out, std::string(12288, 'x'));
        ::_exit(!written.ok() && written.error() == std::strerror(EFBIG) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(nivra::test::readFileBytes(out), "earlier export");
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        entries += entry.path().filename() != "";
    EXPECT_EQ(entries, 1u);
}

// Every name the file system can hold is written, its temporary name shortened to fit; a name
// it cannot hold is refused before anything is written, with the system's reason.
TEST(AtomicFileOutputs, TemporaryNamesFitTheNameLimitAndTooLongNamesAreRefused) {
    nivra::test::TempDir dir;
    const long nameMax = ::pathconf(dir.path().c_str(), _PC_NAME_MAX);
    ASSERT_GT(nameMax, 30);
    for (const long length : {nameMax - 30, nameMax - 1, nameMax}) {
        const std::string out = dir.file(std::string(static_cast<std::size_t>(length), 'n'));
        EXPECT_TRUE(nivra::outputFileProblem(out).ok()) << length;
        EXPECT_FALSE(fileExists(out)) << "the check leaves nothing behind";
        const nivra::Outcome written = nivra::writeFileAtomically(out, "data");
        EXPECT_TRUE(written.ok()) << length << ": " << written.error();
        EXPECT_EQ(nivra::test::readFileBytes(out), "data");
        // Written again, as a run's backup is, over the file and its left temporaries.
        EXPECT_TRUE(nivra::writeFileAtomically(out, "again").ok()) << length;
    }
    const std::string tooLong = dir.file(std::string(static_cast<std::size_t>(nameMax) + 1, 'n'));
    EXPECT_EQ(nivra::outputFileProblem(tooLong).error(), std::strerror(ENAMETOOLONG));
    EXPECT_EQ(nivra::writeFileAtomically(tooLong, "x").error(), std::strerror(ENAMETOOLONG));
    EXPECT_EQ(nivra::outputFileProblem(dir.file("no/such.csv")).error(), std::strerror(ENOENT));
}
