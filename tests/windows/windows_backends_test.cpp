// What only the Windows back-ends do: the system's named "Com Mutex", COM port names, devices
// that are never read as files, and read-only files that a save refuses.

#include "base/atomic_file.h"
#include "base/readable_file.h"
#include "base/windows_text.h"
#include "counter_link/com_mutex.h"
#include "counter_link/device_path.h"
#include "counter_link/serial_line.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>
#include <windows.h>

namespace {

using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;

// Whether another thread (which owns nothing) can take the system mutex of that name now.
bool otherThreadCanTake(const wchar_t* name) {
    bool taken = false;
    std::thread([&] {
        const HANDLE mutex = ::OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name);
        if (!mutex)
            return;
        const DWORD result = ::WaitForSingleObject(mutex, 0);
        taken = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
        if (taken)
            ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
    }).join();
    return taken;
}

TEST(WindowsComMutex, IsTheSystemsNamedMutexThatOtherProgramsOpen) {
    const auto lock = nivra::ComMutex::open();
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock, nivra::ComMutex::open(nivra::ComMutex::kName));
    EXPECT_EQ(lock->filePath(), "Com Mutex");
    EXPECT_TRUE(otherThreadCanTake(L"Com Mutex"));
    {
        std::lock_guard held(*lock);
        EXPECT_FALSE(otherThreadCanTake(L"Com Mutex"));
    }
    EXPECT_TRUE(otherThreadCanTake(L"Com Mutex"));
}

TEST(WindowsSerialLine, ComNamesAreThePortsThemselves) {
    EXPECT_EQ(nivra::devicePathFor("COM3"), "\\\\.\\COM3");
    EXPECT_EQ(nivra::devicePathFor("com12"), "\\\\.\\COM12");
    EXPECT_EQ(nivra::devicePathFor("\\\\.\\COM250"), "\\\\.\\COM250");
    EXPECT_EQ(nivra::devicePathFor("COM0"), "COM0");

    nivra::SerialLine line;
    EXPECT_EQ(line.open("COM199"), nivra::OpenFailure::kNotFound);
    EXPECT_FALSE(line.isOpen());
    // A file is no serial port, and is not touched.
    TempDir dir;
    writeFileBytes(dir.file("port.txt"), "data");
    EXPECT_EQ(line.open(dir.file("port.txt")), nivra::OpenFailure::kNotATerminal);
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(readFileBytes(dir.file("port.txt")), "data");
}

TEST(WindowsFiles, DevicesAndFoldersAreNeverReadAsFiles) {
    TempDir dir;
    std::string bytes, reason;
    EXPECT_FALSE(nivra::readRegularFile("NUL", bytes, reason));
    EXPECT_EQ(reason, "is a device");
    EXPECT_FALSE(nivra::readRegularFile(dir.path(), bytes, reason));
    EXPECT_EQ(reason, "is a folder");
    EXPECT_EQ(nivra::readOptionalFile(dir.file("none.pfx"), 100, bytes, reason),
              nivra::OptionalFileRead::kMissing);
    EXPECT_EQ(nivra::readOptionalFile(dir.path(), 100, bytes, reason),
              nivra::OptionalFileRead::kFolder);
    writeFileBytes(dir.file("big.pfx"), std::string(101, 'x'));
    EXPECT_EQ(nivra::readOptionalFile(dir.file("big.pfx"), 100, bytes, reason),
              nivra::OptionalFileRead::kTooLarge);
    EXPECT_EQ(nivra::readOptionalFile(dir.file("big.pfx"), 101, bytes, reason),
              nivra::OptionalFileRead::kRead);
    EXPECT_EQ(bytes.size(), 101u);
}

TEST(WindowsFiles, AReadOnlyFileIsRefusedAndKeptAsItWas) {
    TempDir dir;
    const std::string path = dir.file("run.dax");
    writeFileBytes(path, "old");
    const std::wstring wide = nivra::wideFromUtf8(path);
    ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    errno = 0;
    EXPECT_FALSE(nivra::replaceFileAtomically(path, "new"));
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(readFileBytes(path), "old");
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(nivra::replaceFileAtomically(path, "new"));
    EXPECT_EQ(readFileBytes(path), "new");
}

TEST(WindowsFiles, TheNextSaveRemovesTemporariesOfEndedProcessesOnly) {
    TempDir dir;
    // A process that has ended: a child started and waited for.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    wchar_t command[] = L"cmd.exe /c exit 0";
    ASSERT_TRUE(::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                 nullptr, nullptr, &startup, &child));
    ::WaitForSingleObject(child.hProcess, INFINITE);
    const std::string ended = std::to_string(child.dwProcessId);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    const std::string running = std::to_string(::GetCurrentProcessId());
    writeFileBytes(dir.file(".run.dax.tmp-" + ended + "-0"), "torn");
    writeFileBytes(dir.file(".run.dax.tmp-" + running + "-999999"), "torn, of this process");
    writeFileBytes(dir.file(".other.dax.tmp-" + ended + "-0"), "another file's");

    ASSERT_TRUE(nivra::replaceFileAtomically(dir.file("run.dax"), "saved"));
    EXPECT_FALSE(nivra::test::fileExists(dir.file(".run.dax.tmp-" + ended + "-0")));
    EXPECT_FALSE(nivra::test::fileExists(dir.file(".run.dax.tmp-" + running + "-999999")));
    EXPECT_TRUE(nivra::test::fileExists(dir.file(".other.dax.tmp-" + ended + "-0")));
    EXPECT_EQ(readFileBytes(dir.file("run.dax")), "saved");
}

} // namespace
