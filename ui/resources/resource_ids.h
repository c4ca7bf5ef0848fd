#pragma once

// Numbers of the program's resources. Each dialog's controls are named by its ui struct
// (about_ui.h, main_window_ui.h, ...), the menu's commands in menu_commands.h.
namespace nivra::res {

inline constexpr int kDialogAbout = 100;
inline constexpr int kStringAboutMenu = 101;
inline constexpr int kDialogMain = 102;
inline constexpr int kDialogCounterConfig = 104;
inline constexpr int kDialogAssayConfig = 105;
inline constexpr int kDialogRunConfig = 106;
inline constexpr int kIconApp = 128;
inline constexpr int kMenuMain = 130;

} // namespace nivra::res
