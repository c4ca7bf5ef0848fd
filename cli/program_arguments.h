#pragma once

#include <string>
#include <vector>

namespace nivra::cli {

// The program's command line as UTF-8 text, the program's name first. On Windows the C runtime
// hands main its arguments in the ANSI code page, which cannot hold every file name; they are
// taken from the system's UTF-16 command line instead, and the console is told that the
// program's output is UTF-8.
std::vector<std::string> programArguments(int argc, char** argv);

} // namespace nivra::cli
