#include "cli/command_registry.h"
#include "cli/line_printer.h"
#include "cli/program_arguments.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace nivra::cli {

static std::vector<CliCommand>& registry() {
    static std::vector<CliCommand> commands;
    return commands;
}

const std::vector<CliCommand>& commands() {
    return registry();
}

CliCommandRegistration::CliCommandRegistration(const CliCommand& command) {
    auto& commands = registry();
    auto at = std::lower_bound(
        commands.begin(), commands.end(), command,
        [](const CliCommand& a, const CliCommand& b) { return std::strcmp(a.name, b.name) < 0; });
    commands.insert(at, command);
}

} // namespace nivra::cli

static void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: nivra-cli COMMAND [OPTIONS]\n\nCommands:\n");
    for (const auto& command : nivra::cli::commands())
        std::fprintf(out, "  nivra-cli %s\n", command.synopsis);
    std::fprintf(out, "\nnivra-cli COMMAND --help describes one command; nivra-cli --version tells "
                      "the version.\n");
}

static const nivra::cli::CliCommand* findCommand(const std::string& name) {
    for (const auto& command : nivra::cli::commands())
        if (name == command.name)
            return &command;
    return nullptr;
}

static int printHelp(const nivra::cli::CliCommand& command) {
    std::printf("nivra-cli %s\n%s\n", command.synopsis, command.help);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

static int unknownCommand(const std::string& name) {
    nivra::cli::printLine(stderr, "nivra-cli: unknown command '" + name + "'");
    printUsage(stderr);
    return 2;
}

static bool isHelpOption(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = nivra::cli::programArguments(argc, argv);
    if (arguments.size() < 2) {
        printUsage(stderr);
        return 2;
    }
    const std::string name = arguments[1];
    if (name == "--version") {
        std::printf("nivra-cli %s\n", NIVRA_VERSION);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (isHelpOption(name) || name == "help") {
        // "nivra-cli help run" describes that command only; without a name, every command.
        if (arguments.size() > 2) {
            const auto* command = findCommand(arguments[2]);
            return command ? printHelp(*command) : unknownCommand(arguments[2]);
        }
        printUsage(stdout);
        for (const auto& command : nivra::cli::commands())
            std::printf("\nnivra-cli %s\n%s\n", command.synopsis, command.help);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    const auto* command = findCommand(name);
    if (!command)
        return unknownCommand(name);
    std::vector<std::string> args(arguments.begin() + 2, arguments.end());
    // --help among the options (not after "--", where it may be a file's name) asks for the
    // command's own help, whatever else is given.
    const auto optionsEnd = std::find(args.begin(), args.end(), "--");
    if (std::find_if(args.begin(), optionsEnd, isHelpOption) != optionsEnd)
        return printHelp(*command);
    return command->run(args);
}
