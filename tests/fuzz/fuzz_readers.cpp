// Feeds arbitrary bytes to the file readers, as a profile file and as a data file: nothing may
// crash, hang or trip a sanitizer, and what the program writes back must read back unchanged.

#include "base/profile_file.h"
#include "model/assay_config.h"
#include "model/assay_data.h"
#include "model/counter_config.h"
#include "model/csv_export.h"
#include "model/data_file.h"
#include "model/statistics.h"
#include "model/stats_show.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using nivra::AssayConfig;
using nivra::AssayData;
using nivra::CounterConfig;
using nivra::ProfileFile;
using nivra::StatsShow;

namespace {

// A scratch folder for the whole fuzzing run, removed when the process exits.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "nivra-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void writeBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void require(bool condition) {
    if (!condition)
        std::abort();
}

// Line breaks inside a value are stored as blanks.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

// A line that any save gives back as it is: ASCII, and short enough even inside quotes.
bool plainShortLine(const std::string& line) {
    for (char c : line)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return line.size() <= 252;
}

void readAsProfileFile(const std::string& path, const std::string& copy) {
    {
        ProfileFile file(path);
        (void)file.readString("NAME", "ASSAY CONFIG");
        (void)file.readString("p0", "assay data");
        (void)file.readString(" ", "");
    }
    AssayConfig assay(path);
    (void)assay.countTimeHours();
    (void)assay.backgroundCounts();
    CounterConfig counter(path);
    StatsShow selection;
    selection.load(path);

    // A value written into whatever the file holds reads back as written, and the rest of the
    // file still parses.
    std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
    {
        ProfileFile file(copy);
        require(file.writeString("written value", "FUZZ KEY", "FUZZ SECTION") != 0);
        require(file.flush());
    }
    ProfileFile file(copy);
    require(file.readString("fuzz key", "fuzz section") == "written value");
    (void)file.readString("NAME", "ASSAY CONFIG");
}

void readAsDataFile(const std::string& path, const std::string& copy, const std::string& csv) {
    const auto loaded = nivra::readDataFile(path);
    const AssayData& record = *loaded;
    const auto block = nivra::statisticsBlock(record, StatsShow());
    require(block.size() == 6 || block.size() == 16);
    (void)record.extractRange(2, static_cast<int>(record.pointCount()) - 1)->stdDevText();
    (void)nivra::writeCsvExport(record, csv, StatsShow());

    // Saving and reading again gives the same points and configurations, and the header lines
    // settle: a save may cut a quoted line to what Windows reads whole, put '?' for a character
    // the code page lacks, or write code page bytes that read back as UTF-8 (which makes the
    // text shorter), but saving what was read back changes nothing any more.
    require(nivra::saveDataFile(record, copy));
    std::vector<std::string> lines = record.headerLines();
    for (int round = 0;; ++round) {
        const auto reread = nivra::readDataFile(copy);
        const AssayData& again = *reread;
        require(again.counts() == record.counts());
        require(again.assayConfig().totalSpan() == record.assayConfig().totalSpan());
        require(again.counterConfig().detectorArea == record.counterConfig().detectorArea);
        const auto linesAgain = again.headerLines();
        require(lines.size() == linesAgain.size());
        for (std::size_t i = 0; round == 0 && i < lines.size(); ++i)
            require(!plainShortLine(lines[i]) || oneLine(lines[i]) == linesAgain[i]);
        if (round > 0 && linesAgain == lines)
            break;
        require(round < 16);
        lines = linesAgain;
        require(nivra::saveDataFile(again, copy));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    static const std::string input = folder.file("input.dax");
    writeBytes(input, data, size);
    readAsProfileFile(input, folder.file("profile_copy.pfx"));
    readAsDataFile(input, folder.file("saved.dax"), folder.file("export.csv"));
    return 0;
}
