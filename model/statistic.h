#pragma once

#include <array>
#include <cstddef>

namespace nivra {

// The sixteen counting statistics, in their fixed order: the order of the display selection's
// flags, of the rows of the statistics list and of the lines of a CSV export.
enum class Statistic : std::size_t {
    NumPoints,
    TotalCounts,
    Time,
    Mean,
    StdDev,
    CPH,
    Netapercm2hr,
    Netapercm2hrErr,
    LLD,
    DetEff,
    Netcorr,
    NetcorrErr,
    CDL95,
    LOD900,
    LOD950,
    LOD997,
};

inline constexpr std::size_t kStatisticCount = 16;

// The first statistic that needs a background: it and all after it are produced only when the
// record's background counts are greater than 0.
inline constexpr Statistic kFirstBackgroundStatistic = Statistic::Netapercm2hr;

struct StatisticNames {
    const char* key;       // name in the statistics display file
    const char* listLabel; // label in the statistics list
    const char* csvLabel;  // text in front of the value in a CSV export
    const char* menuText;  // the item in the window's Statistics Show menu
};

// Names of every statistic, indexed by the enumeration. The list label and menu text of the two
// error rows begin with a plus-minus sign in UTF-8.
inline constexpr std::array<StatisticNames, kStatisticCount> kStatisticNames{{
    {"NumPoints", "Num Points:", "Num Points: ", "Num Points"},
    {"TotalCounts", "Total Counts:", "Total Counts: ", "Total Counts"},
    {"Time", "Time(hrs):", "Time(hrs): ", "Time"},
    {"Mean", "Mean: ", "Mean: ", "Mean"},
    {"StdDev", "Std dev:", "Std dev: ", "Std Dev"},
    {"CPH", "CPH:", "CPH: ", "CPH"},
    {"Netapercm2hr", "Net a/(cm2 hr):", "Net a/(cm2 hr): ", "Net a/(cm2 hr)"},
    {"Netapercm2hrErr", "\xC2\xB1 err:", "+/- err: ", "\xC2\xB1 err"},
    {"LLD", "LLD:", "LLD: ", "LLD"},
    {"DetEff", "Det Eff(%):", "Det Eff(%): ", "Det Eff(%)"},
    {"Netcorr", "Net corr:", "Net corr: ", "Net corr"},
    {"NetcorrErr", "\xC2\xB1 err:", "+/- err: ", "\xC2\xB1 err"},
    {"CDL95", "CDL95:", "CDL95: ", "CDL95"},
    {"LOD900", "LOD90.0%:", "LOD90.0%: ", "LOD90.0%"},
    {"LOD950", "LOD95.0%:", "LOD95.0%: ", "LOD95.0%"},
    {"LOD997", "LOD99.7%:", "LOD99.7%: ", "LOD99.7%"},
}};

constexpr std::size_t indexOf(Statistic statistic) {
    return static_cast<std::size_t>(statistic);
}
constexpr Statistic statisticAt(std::size_t index) {
    return static_cast<Statistic>(index);
}
constexpr const StatisticNames& namesOf(Statistic statistic) {
    return kStatisticNames[indexOf(statistic)];
}

} // namespace nivra
