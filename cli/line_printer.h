#pragma once

#include <cstdio>
#include <string>

// Lines printed by several threads at once (the runs of one nivra-cli run process) come out
// whole: one thread's line is never cut by another's, on standard output or standard error.
namespace nivra::cli {

// Writes line and a line end to stream and flushes it, while no other thread prints a line.
// Control characters inside line (a file name holding a line break) are printed as escapes, so
// that one call prints exactly one line.
void printLine(std::FILE* stream, const std::string& line);

} // namespace nivra::cli
