#pragma once

#include "counter_link/counter_startup.h"
#include "engine/run_environment.h"
#include "engine/run_observer.h"
#include "model/stats_show.h"
#include "ui/controls/dialog_base.h"
#include "ui/main_window/counter_slot.h"
#include "ui/resources/main_window_controls.h"

#include <QFont>
#include <QIcon>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CChartWidget;
class CRangeSlider;
class QCheckBox;
class QListWidget;
class QProgressBar;
class QSettings;

// What the main window takes from its surroundings. Every member may stay unset, which gives the
// program's own behaviour; tests set them to run the window without hardware, real time or real
// dialogs.
struct NivraDlgEnvironment {
    // Where runs take their time and their counters from; the live display's "Time Left" uses
    // the same clock. Unset: the system clock and the counters found at start-up.
    nivra::RunEnvironment run;
    // The start-up steps below the window: start directory, port list, discovery of the counters
    // and their text queries. Unset: nivra::RunCounterStartup with the process-wide manager.
    std::function<nivra::CounterStartup()> startup;
    // Runs a dialog modally and returns its result. Unset: QDialog::exec.
    std::function<int(CDialogBase&)> runModal;
    // Where the window keeps what it remembers between starts (whether the Counters window is
    // open, and where). Unset: the user's settings of the program.
    std::function<std::unique_ptr<QSettings>()> settings;
};

// The main window: one chart, one range slider, the statistics and dump lists and the live run
// display, serving five slots: slot 0, the viewer of saved data files, and slots 1 to 4 for
// counters 1 to 4. Exactly one slot is active and every display shows it; runs on the other
// slots go on in the background.
//
// Runs report through one RunEvents object whose signals reach the window queued, on its own
// thread; a run never waits for the window. The window waits for a run only when it is destroyed
// with runs still attached (StopRunsAndWait).
//
// The window's operations live in several files, one per concern: nivra_dlg.cpp (construction,
// start-up, run reports, closing), slot_status.cpp (status, command enabling, Start and Stop),
// live_display.cpp (the run reports' display, screen updates, chart and ROI view),
// active_slot.cpp (switching the active slot, dumps), stats_show_menu.cpp (the "Statistics Show"
// menu), roi_view.cpp (chart and ROI view), roi_editing.cpp (ROI buttons, point deletion, header
// lines), statistics_panel.cpp (All Data and ROI statistics), file_commands.cpp (the File menu
// and the way out), dialog_commands.cpp (configuration dialogs, printing, About) and
// assessment_view.cpp (the Assessment dialog).
namespace nivra::ui {
class AssessmentDlg;
class CountersWindow;
class HistoryDlg;
class RunEvents;
} // namespace nivra::ui

class CNivraDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CNivraDlg(NivraDlgEnvironment environment = {}, QWidget* parent = nullptr);
    // Stops and waits for any run still attached to a slot before the slots and their records go.
    ~CNivraDlg() override;

    // Where the window's runs report; tests may call its observer functions to play a run.
    nivra::ui::RunEvents& RunReports() const { return *runEvents_; }
    // The Counters window (Active Counter > Counters), which exists, closed or open, as long as
    // the main window does.
    nivra::ui::CountersWindow& Counters() const { return *countersWindow_; }

    // ---- operations shared by the window's parts ----
    // Status text, screen-updates button, slider, file label, header lines and commands of the
    // active slot.
    void RefreshStatus();
    // The header-line list from the active slot's record.
    void FillHeaderList();
    // The File and Assay Run commands enabled or grayed by the active slot's state.
    void UpdateCommandStates();
    // Live redraw of chart and ROI view during a run on or off.
    void SetScreenUpdates(bool on);
    // Points first to last (1-based, inclusive) of the active slot's record in the chart.
    void ShowPoints(int first, int last);
    // Shows every point of the active slot and makes the region all of them. Returns the number
    // of points (0: nothing was shown).
    int ShowWholeRecord();
    void ClearChart();
    // The slider's full range and selection, the ROI edits from the selection, and all values
    // shown in their controls.
    void SetRoiView(double min, double max, double low, double high);
    // Redisplays everything for the active slot after it has changed.
    void ShowActiveSlot();
    // The "Statistics Show" check marks from the selection, and the selection saved.
    void ApplyStatsShow();
    // The data dump list (every point) and the ROI dump list (the points of the slider's range).
    void FillDataDump();
    void FillRoiDump();

    // Stops every run still attached to a slot and waits until each has ended. Returns at once
    // when no run is attached.
    void StopRunsAndWait();

    // ---- state, for the window's owner and for tests ----
    int ActiveSlot() const { return activeSlot_; }
    const CounterSlot& Slot(int index) const { return slots_.at(static_cast<std::size_t>(index)); }
    bool ScreenUpdates() const { return screenUpdates_; }
    const StatsShow& StatsSelection() const { return statsShow_; }
    // Whether any slot has a run attached.
    bool HasRuns() const;
    // The Assessment dialog once it has been opened (it stays, hidden, when closed), else null.
    nivra::ui::AssessmentDlg* AssessmentDialog() const { return assessment_; }
    // The History window once it has been opened (it stays, hidden, when closed), else null.
    nivra::ui::HistoryDlg* HistoryDialog() const { return history_; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;
    // The way out (close box, File > Exit): refused while a run goes on; unsaved data is offered
    // for saving first.
    void OnCancel() override;

private:
    int RunModal(CDialogBase& dialog);
    std::int64_t Now() const;
    CounterSlot& ActiveSlotRecord() { return slots_[static_cast<std::size_t>(activeSlot_)]; }
    void SetProgressFrom(const CounterSlot& slot);
    void SetText(int id, const std::string& text);
    // The list's narrowest installed face at the largest size (at most font's) at which every
    // text fits the list's width.
    static QFont FittingFont(const QListWidget& list, QFont font, const QStringList& texts);
    // Writes an edit the program fills, unless the operator has the focus in it or has typed
    // into it since it was last written.
    void SetEditUnlessTyped(int id, const QString& text);
    void ClearList(int id);

    // Run reports, on the window's thread.
    void OnRunSecond(int counter, std::int64_t lastSecond, std::int64_t dwellCounts);
    // The run's start lines or a new point: the record's display (chart, ROI view, status).
    void OnRunRecordChanged(int counter);
    void OnRunFinished(int counter);
    void OnBackupKept(const QString& keptPath);
    void OnBackupSaved(int counter, bool ok, const QString& reason);
    // "Run history not written: <reason>" from a run's recorder, on any thread: shown to the
    // operator from the window's thread.
    void ReportHistoryProblem(const std::string& message);
    // A run's counter stopped answering (told once per stretch, shown in the status while it
    // lasts), answered again, or its register went back.
    void OnCounterFault(int counter, nivra::CounterFault fault, std::int64_t first);
    // Names the kept and interrupted backups of the backup folder, once at start-up.
    void ShowLeftOverBackups();

    // Commands.
    void OnActiveCounter(int slot);
    void OnStart();
    void OnStop();
    void OnFileNew();
    // Save As a data file; true when the record was written.
    bool OnFileSave();
    void OnFileOpen();
    void OnSaveCsv();
    void OnSaveRoi(bool csv);
    // The way out: false when the operator stays (a run goes on, a question was cancelled, a
    // save asked for did not happen).
    bool MayExit();

    // Region of interest, points and header lines.
    void OnRoiStep(int button);
    void OnSetRoi();
    void OnDeletePoint();
    void OnAddHeaderLine();
    void OnDelHeaderLine();
    // The slider's selection as point numbers, each edge truncated toward zero.
    void RoiSelection(int& first, int& last) const;

    // Statistics panel.
    void FillStatistics(const AssayData& data);
    void OnAllData();
    void OnRoiStatistics();

    // Configuration dialogs, printing and About.
    void OnCounterConfig();
    void OnAssayConfig();
    void OnPrint();
    void OnAbout();
    // Statistics Show > Assessment: opens the dialog for the active slot, or raises it.
    void OnAssessment();
    // An open Assessment dialog assesses the active slot again (once for all asks of one pass).
    void RefreshAssessment();
    // Statistics Show > Run History: opens the History window, or raises it.
    void OnHistory();
    // A run of the history into the viewer, after the question File Open asks first.
    void OpenRunInViewer(std::int64_t runId);
    // The viewer shows data, read from the file or history entry named fileName.
    void ShowInViewer(std::unique_ptr<AssayData> data, const std::string& fileName);
    void OnStatsShow(int command);
    void OnScreenUpdatesButton();
    // The slider moved; finished once the operator has let go.
    void OnRangeChanged(bool finished);
    void ResetSlotForNewRun(bool resetLabels);

    NivraDlgEnvironment environment_;
    nivra::ui::RunEvents* runEvents_ = nullptr;
    nivra::ui::CountersWindow* countersWindow_ = nullptr;
    QIcon appIcon_;
    int activeSlot_ = 0;
    CChartWidget* chart_ = nullptr;
    QFont listFont_;
    std::array<CounterSlot, kSlotCount> slots_;
    CRangeSlider* rangeSlider_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QCheckBox* heartbeatBox_ = nullptr;
    std::string headerText_;
    std::uint32_t deletePointNumber_ = 0;
    bool screenUpdates_ = true;
    std::uint32_t roiMin_ = 0;
    std::uint32_t roiMax_ = 0;
    StatsShow statsShow_;
    nivra::ui::AssessmentDlg* assessment_ = nullptr;
    nivra::ui::HistoryDlg* history_ = nullptr;
};
