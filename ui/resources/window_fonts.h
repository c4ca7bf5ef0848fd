#pragma once

namespace nivra::res {

// Makes the font families the dialog templates name ("MS Shell Dlg", "MS Sans Serif",
// "Microsoft Sans Serif", "Tahoma") resolve to an installed font of close metrics: the
// Tahoma-metric font of the fonts-wine package when it is there, otherwise Liberation Sans.
// Without them the system's default sans font is wider, and labels and buttons laid out in
// dialog units would be cut off. Needs a QGuiApplication; call once before the first window.
void installWindowFonts();

} // namespace nivra::res
