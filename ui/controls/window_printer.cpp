#include "ui/controls/window_printer.h"

#include "ui/controls/prompts.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QWidget>

namespace nivra::ui {

namespace {

// The wait cursor while the picture is taken and sent to the printer.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Paints the window's caption bar: the window manager draws the real one, outside the widget.
void paintCaption(QWidget& window, QPainter& painter, const QRect& rect) {
    QStyleOptionTitleBar option;
    option.initFrom(&window);
    option.rect = rect;
    option.text = window.windowTitle();
    option.icon = window.windowIcon();
    option.titleBarFlags = window.windowFlags();
    option.titleBarState = window.windowState();
    option.subControls = QStyle::SC_TitleBarLabel | QStyle::SC_TitleBarSysMenu;
    option.activeSubControls = QStyle::SC_None;
    option.state |= QStyle::State_Active;
    window.style()->drawComplexControl(QStyle::CC_TitleBar, &option, &painter, &window);
}

// Puts the picture onto one page of an open printer, stretched over the whole printable area;
// the window's aspect ratio is not kept. Returns false when the document could not be started
// or finished.
bool printPicture(QPrinter& printer, const QImage& picture) {
    printer.setDocName(QStringLiteral("Window Contents"));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, printer.width(), printer.height()), picture);
    return painter.end() && printer.printerState() != QPrinter::Error;
}

PrintOutcome print(Prompts& prompts, QWidget& window, QPrinter& printer, bool landscape) {
    if (landscape)
        printer.setPageOrientation(QPageLayout::Landscape);
    if (!prompts.printDialog(printer))
        return PrintOutcome::Cancelled;

    bool printed = false;
    {
        WaitCursor wait;
        const QImage picture = windowPicture(window);
        printed = !picture.isNull() && printPicture(printer, picture);
    }
    return printed ? PrintOutcome::Printed : PrintOutcome::Failed;
}

} // namespace

QImage windowPicture(QWidget& window) {
    // Every control paints itself afresh into the pixmap, so nothing stale or covered shows.
    const QImage client = window.grab().toImage();
    if (client.isNull())
        return {};
    const qreal ratio = client.devicePixelRatio();
    const QSize clientSize = client.deviceIndependentSize().toSize();
    const int captionHeight =
        window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);

    QImage picture(QSize(client.width(), client.height() + qRound(captionHeight * ratio)),
                   QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(window.palette().color(QPalette::Window));
    QPainter painter(&picture);
    paintCaption(window, painter, QRect(0, 0, clientSize.width(), captionHeight));
    painter.drawImage(QPointF(0, captionHeight), client);
    return picture;
}

PrintOutcome printWindowContents(Prompts& prompts, QWidget& window, QPrinter& printer,
                                 bool landscape) {
    PrintOutcome outcome = PrintOutcome::Failed;
    try {
        outcome = print(prompts, window, printer, landscape);
    } catch (...) {
        outcome = PrintOutcome::Failed;
    }
    // A confirmed print that produced no page is reported, never passed over in silence.
    if (outcome == PrintOutcome::Failed)
        prompts.tell(QStringLiteral("Error Printing"));
    return outcome;
}

PrintOutcome printWindowContents(Prompts& prompts, QWidget& window, bool landscape) {
    QPrinter printer(QPrinter::HighResolution);
    return printWindowContents(prompts, window, printer, landscape);
}

} // namespace nivra::ui
