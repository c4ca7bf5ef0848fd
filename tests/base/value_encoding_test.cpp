#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>

using namespace nivra;

TEST(ValueEncoding, IntegersKeepTheirBitsThroughText) {
    EXPECT_EQ(formatUnsigned(4294967295u), "-1");
    EXPECT_EQ(formatUnsigned(2147483648u), "-2147483648");
    std::uint32_t u = 0;
    EXPECT_TRUE(scanUnsigned("-1", u));
    EXPECT_EQ(u, 4294967295u);
    EXPECT_TRUE(scanUnsigned("4294967295", u));
    EXPECT_EQ(u, 4294967295u);
    std::int32_t i = 0;
    EXPECT_TRUE(scanInt("4294967295", i));
    EXPECT_EQ(i, -1);
}

TEST(ValueEncoding, IntegerInputStopsAtFirstForeignCharacter) {
    std::int32_t i = 99;
    EXPECT_TRUE(scanInt("  12abc", i));
    EXPECT_EQ(i, 12);
    EXPECT_TRUE(scanInt("7.5", i));
    EXPECT_EQ(i, 7);
    EXPECT_TRUE(scanInt("+8 units", i));
    EXPECT_EQ(i, 8);
    EXPECT_TRUE(scanInt("-5", i));
    EXPECT_EQ(i, -5);
}

TEST(ValueEncoding, TextWithoutNumberLeavesFieldUnchanged) {
    std::int32_t i = 42;
    std::uint32_t u = 43;
    double d = 4.5;
    EXPECT_FALSE(scanInt("", i));
    EXPECT_FALSE(scanInt("abc", i));
    EXPECT_FALSE(scanInt("-", i));
    EXPECT_FALSE(scanUnsigned("x1", u));
    EXPECT_FALSE(scanReal("", d));
    EXPECT_FALSE(scanReal("zero", d));
    EXPECT_EQ(i, 42);
    EXPECT_EQ(u, 43u);
    EXPECT_EQ(d, 4.5);
}

TEST(ValueEncoding, RealsUseSixDecimalsAndThePointWhateverTheLocale) {
    // A user locale with a decimal comma must not leak into files.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(formatReal(0.84), "0.840000");
    EXPECT_EQ(formatReal(4.0), "4.000000");
    EXPECT_EQ(formatC("%.4lf", 1.5), "1.5000");
    double d = 0;
    EXPECT_TRUE(scanReal("1.5", d));
    EXPECT_EQ(d, 1.5);
    EXPECT_TRUE(scanReal(" 2.25xyz", d));
    EXPECT_EQ(d, 2.25);
    std::setlocale(LC_ALL, saved.c_str());
    (void)switched;
}

TEST(ValueEncoding, BooleansAreExactlyTrue) {
    EXPECT_TRUE(parseBool("true"));
    EXPECT_FALSE(parseBool("TRUE"));
    EXPECT_FALSE(parseBool("1"));
    EXPECT_FALSE(parseBool(""));
    EXPECT_STREQ(formatBool(false), "false");
}

TEST(ValueEncoding, FormatCHandlesLongTexts) {
    std::string longText(1000, 'x');
    EXPECT_EQ(formatC("%s!", longText.c_str()), longText + "!");
}

TEST(StartPaths, StartDirectoryIsTakenLiterally) {
    const StartDirectory start("/data/100%d/lab");
    EXPECT_EQ(start.counterConfig(1), "/data/100%d/lab/counter_config/counter1.ccx");
    EXPECT_EQ(start.backupData(2), "/data/100%d/lab/backup_data/backup_2.dax");
    EXPECT_EQ(start.file(kPortConfigFile), "/data/100%d/lab/port_config.pfx");
    EXPECT_EQ(StartDirectory("/").file(kDefaultAssayConfigFile), "/assay_config/default.acx");
    // Captured, it is the current directory, with '/' between its names on every system.
    EXPECT_EQ(StartDirectory::capture()->path(), std::filesystem::current_path().generic_string());
}

TEST(ValueEncoding, TimeStampsAreMonthDayYearAndTheTime) {
    // 2025-12-08 14:03:07 in local time.
    std::tm local{};
    local.tm_year = 125;
    local.tm_mon = 11;
    local.tm_mday = 8;
    local.tm_hour = 14;
    local.tm_min = 3;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    EXPECT_EQ(formatLocalTime(static_cast<std::int64_t>(std::mktime(&local))), "12/08/25 14:03:07");
}

TEST(ValueEncoding, FixedDecimalsRoundAsTheOldWindowsRuntime) {
    // Exact binary ties, where glibc rounds to the even digit.
    EXPECT_EQ(formatFixed(10.03125, 4), "10.0313");
    EXPECT_EQ(formatFixed(0.125, 2), "0.13");
    EXPECT_EQ(formatFixed(-0.125, 2), "-0.13");
    EXPECT_EQ(formatFixed(9.5, 0), "10");
    EXPECT_EQ(formatFixed(-99.5, 0), "-100");
    EXPECT_EQ(formatFixed(2.0625, 3), "2.063");
    // Near ties whose 17 digits already round up: 17 / 160 is stored as 0.10624999999999999722.
    EXPECT_EQ(formatFixed(17.0 / 160, 4), "0.1063");
    EXPECT_EQ(formatFixed(0.00095, 4), "0.0010");
    // Further from the tie the 17 digits keep it below.
    EXPECT_EQ(formatFixed(2.675, 2), "2.67"); // 2.6749999999999998
    EXPECT_EQ(formatFixed(1.005, 2), "1.00");
    EXPECT_EQ(formatFixed(std::nextafter(10.03125, 0.0), 4), "10.0312");
    EXPECT_EQ(formatFixed(std::nextafter(-0.125, 0.0), 2), "-0.12");
    EXPECT_EQ(formatFixed(0.0625, 4), "0.0625");
    EXPECT_EQ(formatFixed(0.000006, 4), "0.0000");
    EXPECT_EQ(formatFixed(-0.0, 2), "-0.00");
    // Beyond 17 significant digits the old runtime printed zeros.
    EXPECT_EQ(formatFixed(1e20 + 65536, 1), "100000000000000070000.0");
    for (double odd : {std::nan(""), -std::nan(""), HUGE_VAL, -HUGE_VAL})
        EXPECT_EQ(formatFixed(odd, 4), formatC("%.4lf", odd));
}
