#pragma once

#include <string>
#include <vector>

// The commands of nivra-cli. Each command lives in a file of its own and registers itself with a
// static CliCommandRegistration, so adding a command never touches the dispatcher.
namespace nivra::cli {

// A command's entry point: the arguments after the command name. Returns the exit status.
using CommandFunction = int (*)(const std::vector<std::string>& args);

struct CliCommand {
    const char* name;
    const char* synopsis; // one line: "discover", "stats FILE.dax [--all | --roi FIRST:LAST]"
    const char* help;     // what it does, its options and one example
    CommandFunction run;
};

const std::vector<CliCommand>& commands();

struct CliCommandRegistration {
    explicit CliCommandRegistration(const CliCommand& command);
};

} // namespace nivra::cli
