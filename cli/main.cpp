#include "cli/command_registry.h"

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
    std::fprintf(out, "\nnivra-cli COMMAND --help describes one command.\n");
}

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        for (const auto& command : nivra::cli::commands())
            std::printf("\nnivra-cli %s\n%s\n", command.synopsis, command.help);
        return 0;
    }
    for (const auto& command : nivra::cli::commands()) {
        if (name != command.name)
            continue;
        std::vector<std::string> args(argv + 2, argv + argc);
        if (std::find(args.begin(), args.end(), "--help") != args.end()) {
            std::printf("nivra-cli %s\n%s\n", command.synopsis, command.help);
            return 0;
        }
        return command.run(args);
    }
    std::fprintf(stderr, "nivra-cli: unknown command '%s'\n", name.c_str());
    printUsage(stderr);
    return 2;
}
