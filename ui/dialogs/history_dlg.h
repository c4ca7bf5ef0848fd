#pragma once

#include "storage/history_browser.h"
#include "ui/controls/coalesced_call.h"
#include "ui/controls/window_printer.h"

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;
class QTabWidget;
class QLabel;
class QSplitter;
class QPrinter;

namespace nivra::ui {

class Prompts;

class ControlChartPlot;

// The History window: the runs of the run history in a table, newest first, filtered by
// counter, kind and start dates; a selected run opens in the viewer or gets another kind. Its
// second tab shows the control chart of a counter's background or check-source runs as the
// table `nivra-cli qa` prints. All reading and writing of the history goes through a
// HistoryBrowser; the window only shows what it answers.
//
// The dialog is modeless; the main window keeps it and asks it to refresh when one of its runs
// closes a point. Refreshes asked for in one pass of the event loop are done once.
class HistoryDlg : public QDialog {
    Q_OBJECT
public:
    // Opens the run with this id in the viewer, with the questions of File Open.
    using OpenRunFunction = std::function<void(std::int64_t runId)>;

    // Asks the operator through `prompts`.
    HistoryDlg(Prompts& prompts, HistoryBrowser browser, OpenRunFunction openRun,
               QWidget* parent = nullptr);

    // Reads the runs and the chart again now, or once the window's current events are handled.
    void refresh();
    void scheduleRefresh();

    // ---- the operator's commands, for tests ----
    // The filter: counter 0 for all, no kind for all, dates "YYYY-MM-DD" or empty.
    void setFilter(int counter, std::optional<RunKind> kind, const QString& since,
                   const QString& until);
    void selectRun(std::int64_t runId);
    void selectRuns(const std::vector<std::int64_t>& runIds);
    void openSelected();
    void setSelectedKind(RunKind kind);
    // Pools the selected background runs of one counter and writes the result as the background
    // of an assay configuration the operator chooses.
    void useSelectedAsBackground();
    void showChart(int counter, RunKind kind);
    // Print of the window's picture on one landscape page, through the print dialog.
    PrintOutcome print(QPrinter& printer);

    // ---- what the window shows, for tests ----
    // The ids of the runs in the table, top to bottom.
    std::vector<std::int64_t> runIds() const;
    // The table's row of the run as its cells joined by " | "; empty when it is not shown.
    QString rowText(std::int64_t runId) const;
    QString chartText() const;
    const ControlChartPlot& chartPlot() const { return *chartPlot_; }
    // The last problem of the history shown under the table, empty when all went well.
    QString problem() const;
    int refreshes() const { return refreshes_; }

private:
    void fillRuns();
    void fillChart();
    std::int64_t selectedRun() const;
    std::vector<std::int64_t> selectedRuns() const;
    void showProblem(const StorageResult& result);

    Prompts& prompts_;
    HistoryBrowser browser_;
    std::vector<HistoryRun> runs_; // the table's rows
    OpenRunFunction openRun_;
    QTabWidget* tabs_ = nullptr;
    QComboBox* counterFilter_ = nullptr;
    QComboBox* kindFilter_ = nullptr;
    QLineEdit* since_ = nullptr;
    QLineEdit* until_ = nullptr;
    QTableWidget* table_ = nullptr;
    QComboBox* newKind_ = nullptr;
    QLabel* problem_ = nullptr;
    QComboBox* chartCounter_ = nullptr;
    QComboBox* chartKind_ = nullptr;
    QPlainTextEdit* chart_ = nullptr;
    ControlChartPlot* chartPlot_ = nullptr;
    CoalescedCall refresh_{this, [this] { refresh(); }};
    int refreshes_ = 0;
};

} // namespace nivra::ui
