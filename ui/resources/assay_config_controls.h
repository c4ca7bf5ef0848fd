#pragma once

#include "ui/resources/resource_ids.h"

// Controls of the assay configuration dialog, as its template, its code and its tests address
// them. The buttons' numbers are also the commands they send.
namespace nivra::ui::assay_config {
inline constexpr int kNameEdit = 1023;
inline constexpr int kDwellHoursEdit = 1011;
inline constexpr int kDwellMinutesEdit = 1012;
inline constexpr int kDwellSecondsEdit = 1013;
inline constexpr int kTotalHoursEdit = 1016;
inline constexpr int kTotalMinutesEdit = 1017;
inline constexpr int kTotalSecondsEdit = 1018;
inline constexpr int kSampleAreaEdit = 1022;
inline constexpr int kBackgroundHoursEdit = 1080;
inline constexpr int kBackgroundRateEdit = 1079;
inline constexpr int kLoadButton = 1014;
inline constexpr int kSaveButton = 1015;
inline constexpr int kSaveAsDefaultButton = 1019;
inline constexpr int kCloseButton = res::kIdCancel;
} // namespace nivra::ui::assay_config
