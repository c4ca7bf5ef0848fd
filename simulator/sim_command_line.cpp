#include "simulator/sim_command_line.h"

#include "counter_link/counter_protocol.h"
#include "simulator/usb_adapter_files.h"

#include <cerrno>
#include <cstdlib>

namespace nivra::sim {

namespace {

// A whole unsigned number, decimal or 0x-hexadecimal, up to highest.
bool parseNumber(const std::string& text, unsigned long long highest, unsigned long long& out) {
    if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ')
        return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value > highest)
        return false;
    out = value;
    return true;
}

bool parseByte(const std::string& text, std::uint8_t& out) {
    unsigned long long value = 0;
    if (!parseNumber(text, 255, value))
        return false;
    out = static_cast<std::uint8_t>(value);
    return true;
}

bool parseCounterNumber(const std::string& text, std::uint8_t& out) {
    return parseByte(text, out) && out != 0;
}

bool parseRate(const std::string& text, double& out) {
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || errno != 0 || *end != '\0' || !(value >= 0) || value > 1e6)
        return false;
    out = value;
    return true;
}

// "N:KIND" or "N:KIND=VALUE".
bool parseFault(const std::string& text, FaultOption& out, std::string& error) {
    auto colon = text.find(':');
    if (colon == text.npos || !parseCounterNumber(text.substr(0, colon), out.counter)) {
        error = "--fault wants N:KIND[=VALUE] with a counter number N, not '" + text + "'";
        return false;
    }
    std::string kind = text.substr(colon + 1);
    std::optional<std::string> value;
    if (auto equals = kind.find('='); equals != kind.npos) {
        value = kind.substr(equals + 1);
        kind.resize(equals);
    }
    auto bad = [&] {
        error = "--fault: bad value in '" + text + "'";
        return false;
    };
    unsigned long long number = 0;
    std::uint8_t byte = 0;
    if (kind == "silent") {
        if (value && !parseNumber(*value, 1000000, number))
            return bad();
        out.fault = Fault::silent(std::chrono::seconds(number));
    } else if (kind == "wrong-echo") {
        byte = static_cast<std::uint8_t>(out.counter + 1);
        if (value && !parseByte(*value, byte))
            return bad();
        out.fault = Fault::wrongEcho(byte);
    } else if (kind == "short") {
        byte = 1;
        if (value && !parseByte(*value, byte))
            return bad();
        out.fault = Fault::shortReply(byte);
    } else if (kind == "late") {
        if (!value || !parseNumber(*value, 3600000, number))
            return bad();
        out.fault = Fault::lateReply(std::chrono::milliseconds(number));
    } else if (kind == "reset-status") {
        byte = nivra::protocol::REPLY_PRESENT;
        if (value && !parseByte(*value, byte))
            return bad();
        out.fault = Fault::wrongStatus(byte).onlyFor(nivra::protocol::CMD_RESET);
    } else if (kind == "stray") {
        // Bytes of line noise sent before every reply: "1,0x99,0x55" by default.
        std::vector<std::uint8_t> noise;
        std::size_t from = 0;
        const std::string list = value.value_or("1,0x99,0x55");
        for (std::size_t comma; from <= list.size(); from = comma + 1) {
            comma = list.find(',', from);
            if (comma == std::string::npos)
                comma = list.size();
            if (!parseByte(list.substr(from, comma - from), byte))
                return bad();
            noise.push_back(byte);
        }
        out.fault = Fault::strayBytes(std::move(noise));
    } else {
        error = "--fault: unknown kind '" + kind + "' (silent, wrong-echo, short, late, " +
                "reset-status, stray)";
        return false;
    }
    return true;
}

} // namespace

bool parseCounterList(const std::string& text, std::vector<std::uint8_t>& out) {
    out.clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        std::string item = text.substr(start, comma == text.npos ? text.npos : comma - start);
        std::uint8_t first = 0;
        std::uint8_t last = 0;
        if (auto dash = item.find('-'); dash != item.npos) {
            if (!parseCounterNumber(item.substr(0, dash), first) ||
                !parseCounterNumber(item.substr(dash + 1), last) || last < first)
                return false;
        } else if (!parseCounterNumber(item, first)) {
            return false;
        } else {
            last = first;
        }
        for (int n = first; n <= last; ++n)
            out.push_back(static_cast<std::uint8_t>(n));
        if (comma == text.npos)
            break;
        start = comma + 1;
    }
    return !out.empty();
}

bool parseSimCommandLine(const std::vector<std::string>& args, SimCommandLine& out,
                         std::string& error) {
    out = SimCommandLine{};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            out.help = true;
            return true;
        }
        if (option == "--verbose") {
            out.verbose = true;
            continue;
        }
        if (option != "--port" && option != "--usb" && option != "--device-root" &&
            option != "--rate" && option != "--seed" && option != "--fault") {
            error = "unknown option '" + option + "'";
            return false;
        }
        if (i + 1 == args.size()) {
            error = option + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        if (option == "--port") {
            auto colon = value.rfind(':');
            PortOption port;
            if (colon == value.npos || colon == 0 ||
                !parseCounterList(value.substr(colon + 1), port.counters)) {
                error =
                    "--port wants PATH:COUNTERS such as /tmp/ws/ttySIM0:1,2, not '" + value + "'";
                return false;
            }
            port.linkPath = value.substr(0, colon);
            out.ports.push_back(std::move(port));
        } else if (option == "--usb") {
            auto colon = value.rfind(':');
            PortOption port;
            if (colon == value.npos || !isUsbDeviceName(value.substr(0, colon)) ||
                !parseCounterList(value.substr(colon + 1), port.counters)) {
                error = "--usb wants NAME:COUNTERS such as ttyUSB0:1,2, not '" + value + "'";
                return false;
            }
            port.usbName = value.substr(0, colon);
            out.ports.push_back(std::move(port));
        } else if (option == "--device-root") {
            out.deviceRoot = value;
            while (out.deviceRoot.size() > 1 && out.deviceRoot.back() == '/')
                out.deviceRoot.pop_back();
        } else if (option == "--rate") {
            if (!parseRate(value, out.ratePerSecond)) {
                error = "--rate wants a number of counts per second from 0 up, not '" + value + "'";
                return false;
            }
        } else if (option == "--seed") {
            unsigned long long seed = 0;
            if (!parseNumber(value, ~0ULL, seed)) {
                error = "--seed wants a whole number, not '" + value + "'";
                return false;
            }
            out.seed = seed;
        } else {
            FaultOption fault;
            if (!parseFault(value, fault, error))
                return false;
            out.faults.push_back(fault);
        }
    }
    if (out.ports.empty()) {
        error = "no port: give at least one --port PATH:COUNTERS";
        return false;
    }
    for (const PortOption& port : out.ports) {
        if (!port.usbName.empty() && out.deviceRoot.empty()) {
            error = "--usb needs --device-root DIR: a folder that stands in for / (the "
                    "simulator makes no files in the real /dev)";
            return false;
        }
    }
    return true;
}

const char* simUsage() {
    return R"(usage: nivra-counter-sim --port PATH:COUNTERS [--port PATH:COUNTERS ...] [OPTIONS]
       nivra-counter-sim --device-root DIR --usb NAME:COUNTERS [--usb ...] [OPTIONS]

Simulates alpha counters on serial lines, to try Nivra-USB and nivra-cli without hardware.
Each --port creates a pseudo-terminal, publishes it as a symbolic link at PATH and serves the
listed counters on it. Name PATH in port_config.pfx (for example PORT1=/tmp/ws/ttySIM0) and
start the program or nivra-cli discover in that folder. The simulator runs until Ctrl+C or
SIGTERM, then removes its links.

Options:
  --port PATH:COUNTERS  a port at PATH carrying the counters COUNTERS: numbers from 1 to 255
                        and ranges, separated by commas (1,2 or 1-4 or 3,5-6). Repeatable.
                        The program numbers counters 1, 2, 3 ... across its ports in the order
                        of port_config.pfx, so chains must continue each other.
  --usb NAME:COUNTERS   a port posing as a USB serial adapter below --device-root: the device
                        file DIR/dev/NAME (NAME is ttyUSBn or ttyACMn), its stable name in
                        DIR/dev/serial/by-id/ and its USB entries in DIR/sys/, as nivra-cli
                        ports reads them. Repeatable; the order counts as for --port.
  --device-root DIR     the folder that stands in for / for --usb ports (created when
                        missing); give the programs the same folder (nivra-cli ports
                        --device-root DIR, or NIVRA_DEVICE_ROOT=DIR)
  --rate R              mean counts per second of every counter (default 1); the count
                        register grows by random (Poisson) counts and wraps at 256
  --seed S              seed of the random counts (default: taken from the clock)
  --fault N:KIND[=V]    counter N misbehaves, on every port that carries it. Repeatable.
                        KIND is one of:
                          silent[=SECONDS]  stops answering, after SECONDS (default at once)
                          wrong-echo[=M]    answers as counter M (default N+1)
                          short[=BYTES]     sends only the first BYTES bytes of every reply
                                            (default 1)
                          late=MS           answers MS milliseconds late
                          reset-status[=X]  answers resets with status byte X (default 0xF2)
                          stray[=B,B,...]   sends these bytes of line noise before every
                                            reply (default 1,0x99,0x55)
  --verbose             prints every request and its reply
  --help                prints this text

Commands read from standard input while it runs:
  stop N                counter N stops answering
  resume N              counter N answers again (its fault is cleared)
  quit                  ends the simulator

Example:
  nivra-counter-sim --port /tmp/ws/ttySIM0:1,2 --port /tmp/ws/ttySIM1:3 --rate 5 --seed 1 \
      --fault 3:silent=60
  nivra-counter-sim --device-root /tmp/usb-demo --usb ttyUSB0:1,2 --usb ttyACM0:3
)";
}

} // namespace nivra::sim
