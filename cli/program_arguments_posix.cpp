#include "cli/program_arguments.h"

namespace nivra::cli {

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

} // namespace nivra::cli
