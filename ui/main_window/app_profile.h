#pragma once

namespace nivra::ui {

// The program's entry in the user's settings (organisation "Corvane", the application's name):
// at start-up the fixed value "testentry" = "testvalue" is written to section "NivraUSB".
// Nothing reads it back. Returns true when the value reached the settings file. Needs a
// QCoreApplication (for the application name).
bool writeProfileTestEntry();

} // namespace nivra::ui
