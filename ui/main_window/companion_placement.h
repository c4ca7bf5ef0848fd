#pragma once

class QWidget;

namespace nivra::ui {

// Makes a companion of the main window (the Assessment, History and Counters windows) an
// ordinary top-level window: its own entry on the desktop, minimise and maximise, not kept
// above the main window.
void makeTopLevel(QWidget& companion);

// Places a companion window that opens for the first time where it leaves the main window's
// menu bar uncovered: below the bar, a little to the right of the main window's left edge, and
// moved up or left only as far as the screen requires and the bar allows.
void placeClearOfMenuBar(QWidget& companion, const QWidget& menuBar);

} // namespace nivra::ui
