#pragma once

#include "model/assay_data.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Helpers shared by the nivra-cli commands that read a data file and may narrow it to a range
// of points.
namespace nivra::cli {

// Exit statuses of the data commands.
inline constexpr int kExitFailure = 1; // a file could not be read or written
inline constexpr int kExitUsage = 2;   // a bad option or range
// nivra-cli run: the data file was saved, but the counter did not answer for a while.
inline constexpr int kExitCounterFault = 3;

// A region of interest: 1-based point numbers, both inclusive.
struct PointRange {
    int first = 0;
    int last = 0;
};

// Parses "FIRST:LAST": two unsigned decimal numbers, nothing else. Nothing when the text does
// not have that form or a number is too large.
std::optional<PointRange> parsePointRange(const std::string& text);

// Whether args[i] is the option "--roi FIRST:LAST" (or "--roi=FIRST:LAST").
bool isRangeOption(const std::string& arg);

// Takes the range option at args[i] (moving i past its value) into range. Returns the problem
// ("--roi needs FIRST:LAST", "bad range ...") or "" when the range was read.
std::string takeRangeOption(const std::vector<std::string>& args, std::size_t& i,
                            std::optional<PointRange>& range);

// Why a range does not fit a record of pointCount points, or "" when it does: FIRST must be at
// least 1, LAST at most the number of points, and FIRST not greater than LAST.
std::string rangeProblem(const PointRange& range, std::size_t pointCount);

// A data file as a command works on it: the record, and the range of it the command asked for
// (or none: the whole record as loaded).
struct LoadedDataFile {
    std::unique_ptr<AssayData> record;
    std::unique_ptr<AssayData> extract;
    const AssayData& view() const { return extract ? *extract : *record; }
};

// Loads the data file at path and cuts the range out of it when one is given. On a problem (a
// file that cannot be read, is no regular file or is not a data file, a range that does not fit)
// it prints the one-line error of the command and returns the exit status; 0 when all went well.
int loadDataFile(const char* command, const std::string& path,
                 const std::optional<PointRange>& range, LoadedDataFile& loaded);

// The arguments after the first "--", which ends the options: each is an operand (a file name),
// even one that begins with '-'. The arguments before it stay in args, the "--" is dropped.
std::vector<std::string> operandsAfterOptionsEnd(std::vector<std::string>& args);

// Whether path names a regular file that can be opened for reading; the reason when not. A FIFO,
// a device or a folder is refused at once, without waiting on it.
bool canReadFile(const std::string& path, std::string& reason);

} // namespace nivra::cli
