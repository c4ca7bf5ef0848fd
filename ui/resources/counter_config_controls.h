#pragma once

#include "ui/resources/resource_ids.h"

// Controls of the counter configuration dialog, as its template, its code and its tests address
// them. The buttons' numbers are also the commands they send.
namespace nivra::ui::counter_config {
inline constexpr int kNameEdit = 1036;
inline constexpr int kDescriptionEdit = 1010;
inline constexpr int kDetectorAreaEdit = 1017;
inline constexpr int kDetectorEfficiencyEdit = 1019;
inline constexpr int kCounterGroup = 1077; // its title names the slot
inline constexpr int kLoadButton = 1031;
inline constexpr int kSaveButton = 1021;
inline constexpr int kSaveAsDefaultButton = 1022;
inline constexpr int kCloseButton = res::kIdCancel;
} // namespace nivra::ui::counter_config
