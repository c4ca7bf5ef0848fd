#include "support/child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/temp_dir.h"

namespace nivra::test {

namespace {

std::vector<char*> argv(const std::string& path, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int waitFor(int pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return exitCodeOf(status);
}

} // namespace

std::string binaryPath(const std::string& program) {
    return std::string(NIVRA_BIN_DIR) + "/" + program;
}

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, std::chrono::milliseconds timeout) {
    const std::string path = binaryPath(program);
    auto argv = nivra::test::argv(path, args);
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    int pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec: the test process has threads.
        int null = ::open("/dev/null", O_RDONLY);
        if (null < 0 || ::dup2(null, 0) < 0 || ::dup2(out[1], 1) < 0 || ::dup2(err[1], 2) < 0 ||
            ::chdir(workDir.c_str()) != 0)
            ::_exit(127);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);

    ProgramResult result;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    pollfd watch[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    bool killed = false;
    while (open > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) {
            ::kill(pid, SIGKILL);
            killed = true;
            break;
        }
        if (::poll(watch, 2, static_cast<int>(left)) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (watch[i].fd < 0 || watch[i].revents == 0)
                continue;
            char buffer[4096];
            ssize_t got = ::read(watch[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(watch[i].fd);
                watch[i].fd = -1;
                --open;
            }
        }
    }
    for (auto& w : watch)
        if (w.fd >= 0)
            ::close(w.fd);
    int code = waitFor(pid);
    result.exitCode = killed ? -1 : code;
    return result;
}

BackgroundProgram::BackgroundProgram(const std::string& program,
                                     const std::vector<std::string>& args,
                                     const std::string& outputDir)
    : outputPath_(outputDir + "/" + program + ".out") {
    const std::string path = binaryPath(program);
    auto argv = nivra::test::argv(path, args);
    int output = ::open(outputPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (output < 0)
        throw std::runtime_error("cannot create " + outputPath_);
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        int null = ::open("/dev/null", O_RDONLY);
        if (null < 0 || ::dup2(null, 0) < 0 || ::dup2(output, 1) < 0 || ::dup2(output, 2) < 0 ||
            ::chdir(outputDir.c_str()) != 0)
            ::_exit(127);
        ::execv(path.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(output);
}

BackgroundProgram::~BackgroundProgram() {
    stop();
}

int BackgroundProgram::stop(int signal) {
    if (pid_ < 0)
        return -1;
    ::kill(pid_, signal);
    int code = waitFor(pid_);
    pid_ = -1;
    return code;
}

void BackgroundProgram::kill() {
    if (pid_ < 0)
        return;
    ::kill(pid_, SIGKILL);
    waitFor(pid_);
    pid_ = -1;
}

std::string BackgroundProgram::output() const {
    return readFileBytes(outputPath_);
}

bool BackgroundProgram::waitForOutput(const std::string& text,
                                      std::chrono::milliseconds bound) const {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (output().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::vector<std::string> outputLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace nivra::test
