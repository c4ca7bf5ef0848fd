// Data files against POSIX file modes and FIFOs.

#include "data_file_record.h"
#include "model/assay_data.h"
#include "model/data_file.h"
#include "support/temp_dir.h"
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
using nivra::AssayData;
using nivra::test::dataFileRecord;
using nivra::test::readFileBytes;
using nivra::test::TempDir;
using nivra::test::writeFileBytes;

TEST(DataFileSave, FailuresAreReportedAndLeaveTheOldFile) {
    TempDir dir;
    const AssayData record = dataFileRecord({1, 2});
    EXPECT_FALSE(nivra::saveDataFile(record, ""));
    EXPECT_FALSE(nivra::saveDataFile(record, dir.file("backup_data/backup_1.dax")));
    EXPECT_FALSE(nivra::saveDataFile(record, dir.path()));

    writeFileBytes(dir.file("ro.dax"), "old");
    ::chmod(dir.file("ro.dax").c_str(), 0444);
    EXPECT_FALSE(nivra::saveDataFile(record, dir.file("ro.dax")));
    EXPECT_EQ(readFileBytes(dir.file("ro.dax")), "old");
    // No folder was created and no temporary file is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

// stats, csv, assess, history import and File Open refuse what is no data file, and a data file
// whose points are damaged, instead of showing invented points or statistics.
TEST(DataFileCheck, DamagedAndForeignFilesAreRefusedWithTheirKeyAndText) {
    TempDir dir;
    const std::string sections = "[COUNTER CONFIG]\r\nDETECTOR AREA=100\r\n"
                                 "[ASSAY CONFIG]\r\nSAMPLE_AREA=100\r\n";
    struct Case {
        std::string name, text, problem; // problem after "<kind>: <path>"
    };
    const std::vector<Case> cases{
        {"word.dax", sections + "[ASSAY DATA]\r\nP0=4\r\nP1=abc\r\n", ": P1='abc' is not a count"},
        {"exp.dax", sections + "[ASSAY DATA]\r\nP0=1e3\r\n", ": P0='1e3' is not a count"},
        {"hex.dax", sections + "[ASSAY DATA]\r\nP0=0x10\r\n", ": P0='0x10' is not a count"},
        {"wide.dax", sections + "[ASSAY DATA]\r\nP0=99999999999\r\n",
         ": P0='99999999999' is not a count"},
        {"over.dax", sections + "[ASSAY DATA]\r\nP0=2147483648\r\n",
         ": P0='2147483648' is not a count"},
        {"unit.dax", sections + "[assay data]\nP0=8 units\n", ": P0='8 units' is not a count"},
        {"nul.dax", sections + "[ASSAY DATA]\r\nP0=1\r\nP1=12" + std::string(1, '\0') + "7\r\n",
         ": P1='12\\x007' is not a count"},
        {"nuldesc.dax",
         sections + "[ASSAY DESC]\r\nD0=a" + std::string(1, '\0') + "\r\n[ASSAY DATA]\r\n",
         ": line 6 holds a NUL byte"},
        {"points.dax", "[ASSAY DATA]\r\nP0=3\r\n", " (no [COUNTER CONFIG] section)"},
        {"assay.acx", "[ASSAY CONFIG]\r\nSAMPLE_AREA=100\r\n", " (no [COUNTER CONFIG] section)"},
        {"counter.ccx", "[COUNTER CONFIG]\r\nDETECTOR AREA=100\r\n",
         " (no [ASSAY CONFIG] section)"},
        {"both.dax", sections, " (no [ASSAY DATA] section)"},
        {"ports.pfx", "[CONFIG]\r\nPORT1=COM1\r\n", " (no [COUNTER CONFIG] section)"},
    };
    for (const Case& c : cases) {
        writeFileBytes(dir.file(c.name), c.text);
        const std::string kind =
            c.problem.front() == ':' ? "damaged data file: " : "not a data file: ";
        std::string problem;
        EXPECT_EQ(nivra::openDataFile(dir.file(c.name), problem), nullptr) << c.name;
        EXPECT_EQ(problem, kind + dir.file(c.name) + c.problem);
        EXPECT_EQ(nivra::dataFileProblem(dir.file(c.name)), problem);
    }
    ::mkfifo(dir.file("fifo").c_str(), 0600);
    EXPECT_EQ(nivra::dataFileProblem(dir.file("fifo")),
              "cannot read '" + dir.file("fifo") + "': is a FIFO");
}
