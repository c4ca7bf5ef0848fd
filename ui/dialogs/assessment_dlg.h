#pragma once

#include "model/assessment.h"
#include "ui/controls/coalesced_call.h"
#include "ui/controls/window_printer.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace nivra {
class AssayData;
} // namespace nivra

namespace nivra::ui {

class Prompts;

class CountHistogramPlot;
class PointsPlot;

// What the Assessment dialog assesses, asked for at every refresh: the active slot's record (or
// none) and the region of interest as the range slider selects it. The record is only read
// during the refresh and never kept.
struct AssessmentSource {
    const AssayData* record = nullptr;
    int slot = 0; // 0 the viewer, 1 to 4 the counters
    int roiFirst = 0;
    int roiLast = 0;
    // The data file that holds exactly the record (it was read from or saved to it and not
    // changed since); empty when there is none.
    std::string dataFile;
};

// Which points are assessed: all of them, or the region of interest.
enum class AssessmentRange { AllData, Roi };

// The Assessment dialog: the characteristic limits and the dispersion test of the active slot's
// points (All Data) or of its region of interest (ROI), as the seventeen figures of the
// assessment, beside two pictures: the points against time with their mean and Poisson bands,
// and the histogram of the point counts beside the Poisson distribution of the same mean.
//
// Below the figures, the class decision: the limit the sample is judged against (the record's
// CLASS LIMIT, which the operator may type here for the slot), whether the measurement can show
// it, the verdict and the counting time still needed to decide.
//
// The dialog is modeless; the main window keeps it and asks it to refresh when the record or
// the active slot changes (during a run once per closed point). Refreshes asked for in one pass
// of the event loop are done once.
class AssessmentDlg : public QDialog {
    Q_OBJECT
public:
    using SourceFunction = std::function<AssessmentSource()>;
    // Gives slot `slot`'s record the class limit the operator typed (empty for none).
    using LimitFunction = std::function<void(int slot, std::optional<double> limit)>;

    // Asks the operator through `prompts`.
    AssessmentDlg(Prompts& prompts, SourceFunction source, QWidget* parent = nullptr,
                  LimitFunction setLimit = {});
    ~AssessmentDlg() override;

    // Assesses the source now.
    void refresh();
    // Assesses the source once the window's current events are handled.
    void scheduleRefresh();

    // All Data or ROI, and a refresh.
    void setRange(AssessmentRange range);
    AssessmentRange range() const { return range_; }

    // The operator types a class limit and leaves the field: a number of 0 or more (0 or
    // nothing for none) goes to the slot's record; anything else is refused with a message and
    // the field shows the record's limit again.
    void typeClassLimit(const QString& text);

    // Save PDF…: the report for the customer of the data file that holds the slot's record,
    // for All Data or the ROI, to a PDF the operator chooses. A record that no data file holds
    // as it is must be saved first: the report names its file and the SHA-256 of its bytes.
    void savePdf();

    // File > Print of the dialog: its picture on one landscape page, through the print dialog.
    PrintOutcome print(QPrinter& printer);

    // ---- what the dialog shows, for tests ----
    // The heading ("Counter 1, All Data: points 1 to 12").
    QString heading() const;
    // The figures as "label: value" lines, empty without points.
    QStringList figureLines() const;
    // The class decision as "label: value" lines (as nivra-cli assess prints them), empty
    // without a limit or without points.
    QStringList decisionLines() const;
    const PointsPlot& points() const { return *pointsPlot_; }
    const CountHistogramPlot& histogram() const { return *histogramPlot_; }
    // How many times the dialog has assessed its source.
    int refreshes() const { return refreshes_; }

private:
    void showFigures(const std::vector<AssessmentRow>& rows);
    void showDecision(const std::vector<std::string>& lines);
    void applyTypedLimit();
    void onPrint();

    Prompts& prompts_;
    SourceFunction source_;
    LimitFunction setLimit_;
    int slot_ = 0;                // the slot of the last refresh
    std::optional<double> limit_; // its record's limit
    AssessmentRange range_ = AssessmentRange::AllData;
    CoalescedCall refresh_{this, [this] { refresh(); }};
    int refreshes_ = 0;
    QLabel* heading_ = nullptr;
    std::vector<QLabel*> labels_;
    std::vector<QLabel*> values_;
    QLineEdit* limitEdit_ = nullptr;
    std::vector<QLabel*> decisionLabels_; // method suitable, verdict, time to decision
    std::vector<QLabel*> decisionValues_;
    PointsPlot* pointsPlot_ = nullptr;
    CountHistogramPlot* histogramPlot_ = nullptr;
    QPushButton* allDataButton_ = nullptr;
    QPushButton* roiButton_ = nullptr;
};

} // namespace nivra::ui
