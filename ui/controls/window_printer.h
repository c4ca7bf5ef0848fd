#pragma once

#include <QImage>

class QPrinter;
class QWidget;

// File > Print: a picture of a whole window (caption, menu, chart, lists and every other
// control) stretched onto one page, with landscape preselected in the print dialog. The print
// dialog is the one of the prompts handed in (controls/prompts.h), so tests choose and confirm
// without a real dialog.
namespace nivra::ui {

class Prompts;

enum class PrintOutcome {
    Printed,   // the page went to the printer
    Cancelled, // the operator cancelled the print dialog; nothing printed, nothing reported
    Failed,    // confirmed, but no page came out; "Error Printing" was shown
};

// The main window calls this for File > Print:
//     nivra::ui::printWindowContents(prompts, *this, true);
// Each call starts from the default printer's settings; with landscape true the dialog offers
// landscape, whatever orientation was chosen in an earlier print.
PrintOutcome printWindowContents(Prompts& prompts, QWidget& window, bool landscape);

// The same on a printer the caller has prepared (a PDF file, for instance). With landscape true
// the printer is turned to landscape before the dialog shows, every time.
PrintOutcome printWindowContents(Prompts& prompts, QWidget& window, QPrinter& printer,
                                 bool landscape);

// The picture that is printed: a caption bar with the window's icon and title above everything
// the window paints, as the window looks at this moment. Controls paint themselves into it even
// where other windows cover them on screen. Null for a window without size.
QImage windowPicture(QWidget& window);

} // namespace nivra::ui
