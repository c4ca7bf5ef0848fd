#pragma once

#include "ui/resources/resource_ids.h"

// Controls of the dialog before a run, as its template, its code and its tests address them.
// The buttons' numbers are also the commands they send.
namespace nivra::ui::run_config {
inline constexpr int kCounterNumberEdit = 1030; // read-only
inline constexpr int kCounterNameEdit = 1024;
inline constexpr int kCounterFileEdit = 1029;
inline constexpr int kOpenCounterButton = 1025;
inline constexpr int kAssayNameEdit = 1027;
inline constexpr int kAssayFileEdit = 1018;
inline constexpr int kOpenAssayButton = 1028;
inline constexpr int kStartButton = 1026;
inline constexpr int kCancelButton = res::kIdCancel;
} // namespace nivra::ui::run_config
