#pragma once

// Numbers of the program's resources and of the standard dialog commands. Controls and menu
// commands are addressed by their numbers throughout the window layer.
namespace nivra::res {

inline constexpr int kIdOk = 1;     // the OK button and the "OK" command of every dialog
inline constexpr int kIdCancel = 2; // the Cancel/Close button and the cancel command
inline constexpr int kNoId = -1;    // controls that nothing addresses (labels, group boxes)

inline constexpr int kDialogAbout = 100;
inline constexpr int kStringAboutMenu = 101;
inline constexpr int kDialogMain = 102;
inline constexpr int kDialogCounterConfig = 104;
inline constexpr int kDialogAssayConfig = 105;
inline constexpr int kDialogRunConfig = 106;
inline constexpr int kIconApp = 128;
inline constexpr int kMenuMain = 130;

// The chart and the range slider of the main window, the two controls of our own it hosts.
inline constexpr int kChartControl = 1000;
inline constexpr int kRangeSliderControl = 1046;

} // namespace nivra::res
