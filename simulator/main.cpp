// nivra-counter-sim: serves simulated alpha counters on pseudo-terminals until SIGINT/SIGTERM.

#include "simulator/counter_simulator.h"
#include "simulator/sim_command_line.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace nivra::sim;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    int saved = errno;
    char byte = 1;
    [[maybe_unused]] ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char item[8];
    for (std::uint8_t b : bytes) {
        std::snprintf(item, sizeof item, "%s%02X", text.empty() ? "" : " ", b);
        text += item;
    }
    return text;
}

// Prints the requests of a port that are settled: answered, or unanswered for longer than any
// program would wait.
void printTraffic(SimulatedPort& port, std::size_t& printed) {
    auto requests = port.requests();
    auto now = std::chrono::steady_clock::now();
    for (; printed < requests.size(); ++printed) {
        const RequestRecord& r = requests[printed];
        if (!r.replied && now - r.received < std::chrono::seconds(2))
            break;
        std::string answer = "no answer";
        if (r.replied) {
            answer = "[";
            answer.append(hex(r.reply)).append("]");
        }
        std::printf("%s: [%02X %02X] -> %s\n", port.linkPath().c_str(), r.counter, r.command,
                    answer.c_str());
    }
    std::fflush(stdout);
}

// One line of standard input: "stop N", "resume N" or "quit". Returns false on quit.
bool runInputCommand(CounterSimulator& simulator, const std::string& line) {
    std::istringstream words(line);
    std::string command;
    unsigned counter = 0;
    words >> command;
    if (command.empty())
        return true;
    if (command == "quit" || command == "exit")
        return false;
    if ((command == "stop" || command == "resume") && (words >> counter) && counter >= 1 &&
        counter <= 255) {
        Fault fault = command == "stop" ? Fault::silent() : Fault{};
        if (simulator.setFaultEverywhere(static_cast<std::uint8_t>(counter), fault) == 0)
            std::fprintf(stderr, "no port carries counter %u\n", counter);
        else
            std::printf("counter %u %s\n", counter, command == "stop" ? "stopped" : "answers");
        std::fflush(stdout);
        return true;
    }
    std::fprintf(stderr, "commands: stop N, resume N, quit\n");
    return true;
}

int serve(const SimCommandLine& options) {
    SimulatorSettings settings;
    settings.ratePerSecond = options.ratePerSecond;
    settings.seed = options.seed.value_or(
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    CounterSimulator simulator(settings);
    for (const auto& port : options.ports) {
        SimulatedPort& created =
            port.usbName.empty()
                ? simulator.addPort(port.linkPath, port.counters)
                : simulator.addUsbPort(options.deviceRoot, port.usbName, port.counters);
        std::printf("%s -> %s: counters", created.linkPath().c_str(), created.devicePath().c_str());
        for (std::uint8_t n : port.counters)
            std::printf(" %u", n);
        std::printf("\n");
    }
    for (const auto& fault : options.faults)
        if (simulator.setFaultEverywhere(fault.counter, fault.fault) == 0)
            std::fprintf(stderr, "warning: no port carries counter %u\n", fault.counter);
    std::printf("ready; Ctrl+C ends\n");
    std::fflush(stdout);

    std::vector<std::size_t> printed(simulator.portCount(), 0);
    bool readInput = true;
    std::string input;
    for (;;) {
        pollfd watch[2] = {{signalPipe[0], POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        int ready = ::poll(watch, readInput ? 2 : 1, options.verbose ? 100 : -1);
        if (ready < 0 && errno != EINTR)
            break;
        if (watch[0].revents != 0)
            break;
        if (readInput && watch[1].revents != 0) {
            char buffer[256];
            ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (got <= 0) {
                readInput = false; // no input (closed or not a terminal): signals only
            } else {
                input.append(buffer, static_cast<std::size_t>(got));
                for (auto end = input.find('\n'); end != input.npos; end = input.find('\n')) {
                    std::string line = input.substr(0, end);
                    input.erase(0, end + 1);
                    if (!runInputCommand(simulator, line))
                        return 0;
                }
            }
        }
        if (options.verbose)
            for (std::size_t i = 0; i < simulator.portCount(); ++i)
                printTraffic(simulator.port(i), printed[i]);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    SimCommandLine options;
    std::string error;
    if (!parseSimCommandLine({argv + 1, argv + argc}, options, error)) {
        std::fprintf(stderr, "nivra-counter-sim: %s\n\n%s", error.c_str(), simUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(simUsage(), stdout);
        return 0;
    }
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("nivra-counter-sim: pipe");
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    try {
        return serve(options);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "nivra-counter-sim: %s\n", failure.what());
        return 1;
    }
}
