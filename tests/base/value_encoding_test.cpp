#include "base/start_directory.h"
#include "base/value_encoding.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace nivra;

TEST(ValueEncoding, IntegersKeepTheirBitsThroughText) {
    EXPECT_EQ(FormatUnsigned(4294967295u), "-1");
    EXPECT_EQ(FormatUnsigned(2147483648u), "-2147483648");
    std::uint32_t u = 0;
    EXPECT_TRUE(ScanUnsigned("-1", u));
    EXPECT_EQ(u, 4294967295u);
    EXPECT_TRUE(ScanUnsigned("4294967295", u));
    EXPECT_EQ(u, 4294967295u);
    std::int32_t i = 0;
    EXPECT_TRUE(ScanInt("4294967295", i));
    EXPECT_EQ(i, -1);
}

TEST(ValueEncoding, IntegerInputStopsAtFirstForeignCharacter) {
    std::int32_t i = 99;
    EXPECT_TRUE(ScanInt("  12abc", i));
    EXPECT_EQ(i, 12);
    EXPECT_TRUE(ScanInt("7.5", i));
    EXPECT_EQ(i, 7);
    EXPECT_TRUE(ScanInt("+8 units", i));
    EXPECT_EQ(i, 8);
    EXPECT_TRUE(ScanInt("-5", i));
    EXPECT_EQ(i, -5);
}

TEST(ValueEncoding, TextWithoutNumberLeavesFieldUnchanged) {
    std::int32_t i = 42;
    std::uint32_t u = 43;
    double d = 4.5;
    EXPECT_FALSE(ScanInt("", i));
    EXPECT_FALSE(ScanInt("abc", i));
    EXPECT_FALSE(ScanInt("-", i));
    EXPECT_FALSE(ScanUnsigned("x1", u));
    EXPECT_FALSE(ScanReal("", d));
    EXPECT_FALSE(ScanReal("zero", d));
    EXPECT_EQ(i, 42);
    EXPECT_EQ(u, 43u);
    EXPECT_EQ(d, 4.5);
}

TEST(ValueEncoding, RealsUseSixDecimalsAndThePointWhateverTheLocale) {
    // A user locale with a decimal comma must not leak into files.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(FormatReal(0.84), "0.840000");
    EXPECT_EQ(FormatReal(4.0), "4.000000");
    EXPECT_EQ(FormatC("%.4lf", 1.5), "1.5000");
    double d = 0;
    EXPECT_TRUE(ScanReal("1.5", d));
    EXPECT_EQ(d, 1.5);
    EXPECT_TRUE(ScanReal(" 2.25xyz", d));
    EXPECT_EQ(d, 2.25);
    std::setlocale(LC_ALL, saved.c_str());
    (void)switched;
}

TEST(ValueEncoding, BooleansAreExactlyTrue) {
    EXPECT_TRUE(ParseBool("true"));
    EXPECT_FALSE(ParseBool("TRUE"));
    EXPECT_FALSE(ParseBool("1"));
    EXPECT_FALSE(ParseBool(""));
    EXPECT_STREQ(FormatBool(false), "false");
}

TEST(ValueEncoding, FormatCHandlesLongTexts) {
    std::string longText(1000, 'x');
    EXPECT_EQ(FormatC("%s!", longText.c_str()), longText + "!");
}

TEST(StartPaths, StartDirectoryIsTakenLiterally) {
    nivra::test::StartDirectoryScope start("/data/100%d/lab");
    EXPECT_EQ(CounterConfigPath(1), "/data/100%d/lab/counter_config/counter1.ccx");
    EXPECT_EQ(BackupDataPath(2), "/data/100%d/lab/backup_data/backup_2.dax");
    EXPECT_EQ(StartPath(kPortConfigFile), "/data/100%d/lab/port_config.pfx");
    GetStartingDirectory() = "/";
    EXPECT_EQ(StartPath(kDefaultAssayConfigFile), "/assay_config/default.acx");
    GetStartingDirectory() = "";
    EXPECT_EQ(StartPath(kStatsDisplayFile), "/stats_display_config.pfx");
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
    EXPECT_EQ(FormatLocalTime(static_cast<std::int64_t>(std::mktime(&local))), "12/08/25 14:03:07");
}

TEST(ValueEncoding, FixedDecimalsRoundExactTiesAwayFromZeroOnly) {
    // Exact binary ties, where glibc rounds to the even digit.
    EXPECT_EQ(FormatFixed(10.03125, 4), "10.0313");
    EXPECT_EQ(FormatFixed(0.125, 2), "0.13");
    EXPECT_EQ(FormatFixed(-0.125, 2), "-0.13");
    EXPECT_EQ(FormatFixed(9.5, 0), "10");
    EXPECT_EQ(FormatFixed(-99.5, 0), "-100");
    EXPECT_EQ(FormatFixed(2.0625, 3), "2.063");
    // Values beside a tie keep the digits they always had.
    EXPECT_EQ(FormatFixed(2.675, 2), "2.67"); // stored just below 2.675
    EXPECT_EQ(FormatFixed(1.005, 2), "1.00");
    EXPECT_EQ(FormatFixed(std::nextafter(10.03125, 0.0), 4), "10.0312");
    EXPECT_EQ(FormatFixed(std::nextafter(-0.125, 0.0), 2), "-0.12");
    EXPECT_EQ(FormatFixed(0.0625, 4), "0.0625");
    EXPECT_EQ(FormatFixed(1e300, 4), FormatC("%.4f", 1e300));
    for (double odd : {std::nan(""), -std::nan(""), HUGE_VAL, -HUGE_VAL})
        EXPECT_EQ(FormatFixed(odd, 4), FormatC("%.4lf", odd));
}
