#pragma once

#include <string>
#include <vector>

// Outputs never destroy inputs: before a command writes anything, none of its outputs may be one
// of the files it reads or another of its outputs.
namespace nivra::cli {

// A file a command reads or writes, with the name the operator knows it by: an option
// ("--out"), "the input", "the backup file". An empty path is no file.
struct CommandFile {
    std::string role;
    std::string path;
};

// The first output that is the same file (by path or by inode) as an input or an earlier
// output, as the command's message: "--csv 'a.dax' is the same file as --out 'a.dax'; nothing
// was written". "" when every output is a file of its own.
std::string outputOverlap(const std::vector<CommandFile>& inputs,
                          const std::vector<CommandFile>& outputs);

} // namespace nivra::cli
