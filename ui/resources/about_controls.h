#pragma once

#include "ui/resources/resource_ids.h"

// Controls of the About box, as its template, its code and its tests address them.
namespace nivra::ui::about {
inline constexpr int kVersionLabel = 1078; // the main window's title, filled in when shown
inline constexpr int kOkButton = res::kIdOk;
} // namespace nivra::ui::about
