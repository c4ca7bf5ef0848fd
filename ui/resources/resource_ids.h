#pragma once

// Numbers of the program's resources and of the standard dialog commands. Each dialog's controls
// are named in its own header (about_controls.h, main_window_controls.h, ...), the menu's
// commands in menu_commands.h.
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

} // namespace nivra::res
