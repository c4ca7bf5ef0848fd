#pragma once

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

namespace nivra::test {

struct ProgramResult {
    int exitCode = -1; // -1 when the program did not end normally (killed, timed out)
    std::string out;
    std::string err;
};

// The path of a program built into the build's bin folder.
std::string binaryPath(const std::string& program);

// Runs a program in the folder workDir with the given arguments and no standard input, collects
// its standard output and error, and kills it when it has not ended within the timeout.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir,
                         std::chrono::milliseconds timeout = std::chrono::seconds(30));

// A program left running in the background (a simulator, an unattended run), ended with SIGTERM
// by stop() or when the object goes. It runs in outputDir, and its output goes to a file there.
class BackgroundProgram {
public:
    BackgroundProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& outputDir);
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    // Sends the signal (SIGTERM unless told) and waits; returns the exit code (-1 when it did
    // not exit normally).
    int stop(int signal = SIGTERM);
    // Kills it with SIGKILL, as a crash would end it, and waits until it is gone.
    void kill();
    std::string output() const;
    // Waits until the output holds the text, or the bound has passed (a loaded machine may be
    // slow to start a program); returns whether it came.
    bool waitForOutput(const std::string& text,
                       std::chrono::milliseconds bound = std::chrono::seconds(30)) const;

private:
    int pid_ = -1;
    std::string outputPath_;
};

// The lines of a program's output, without their line ends.
std::vector<std::string> outputLines(const std::string& text);

} // namespace nivra::test
