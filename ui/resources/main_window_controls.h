#pragma once

// Controls of the main window, as its template, its code and its tests address them. The
// buttons' and the check box's numbers are also the commands they send.
namespace nivra::ui::main {
inline constexpr int kChart = 1000;
inline constexpr int kActiveLabel = 1042;
inline constexpr int kStatusLabel = 1043;
inline constexpr int kProgressBar = 1045;
inline constexpr int kRangeSlider = 1046;
inline constexpr int kDataDumpList = 1049;
inline constexpr int kStatsValueList = 1050;
inline constexpr int kRoiDumpList = 1051;
inline constexpr int kStatsLabelList = 1052;
inline constexpr int kDataDumpButton = 1053;
inline constexpr int kRoiDumpButton = 1054;
inline constexpr int kAllDataButton = 1055;
inline constexpr int kRoiStatsButton = 1056;
inline constexpr int kHeaderEdit = 1059;
inline constexpr int kHeaderList = 1060;
inline constexpr int kAddHeaderButton = 1061;
inline constexpr int kDeletePointButton = 1062;
inline constexpr int kDelHeaderButton = 1063;
inline constexpr int kDeletePointEdit = 1034;
inline constexpr int kHeartbeatBox = 1064;
inline constexpr int kCountsLastSecondLabel = 1065;
inline constexpr int kCountsDwellLabel = 1066;
inline constexpr int kFileLabel = 1067;
inline constexpr int kScreenUpdatesButton = 1068;
inline constexpr int kEndTimeLabel = 1069;
inline constexpr int kTimeLeftLabel = 1070;
inline constexpr int kLowDownButton = 1071;  // "<" left of the slider
inline constexpr int kLowUpButton = 1072;    // ">" left of the slider
inline constexpr int kHighDownButton = 1073; // "<" right of the slider
inline constexpr int kHighUpButton = 1074;   // ">" right of the slider
inline constexpr int kSetRoiButton = 1075;
inline constexpr int kRoiMinEdit = 1076;
inline constexpr int kRoiMaxEdit = 1077;
} // namespace nivra::ui::main
