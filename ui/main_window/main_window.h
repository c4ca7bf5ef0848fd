#pragma once

#include "counter_link/counter_startup.h"
#include "engine/run_environment.h"
#include "engine/run_observer.h"
#include "model/stats_show.h"
#include "ui/main_window/counter_slot.h"
#include "ui/main_window/slot_board.h"
#include "ui/resources/main_window_ui.h"

#include <QDialog>
#include <QIcon>
#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QSettings;

namespace nivra::ui {

// What the main window takes from its surroundings. Every member may stay unset, which gives the
// program's own behaviour; tests set them to run the window without hardware, real time or real
// dialogs.
struct MainWindowEnvironment {
    // Where runs take their time and their counters from; the live display's "Time Left" uses
    // the same clock. Unset: the system clock and the counters found at start-up.
    nivra::RunEnvironment run;
    // The start directory below which the window's files live, captured once when the window is
    // made; none when the current directory cannot be read. Unset: nivra::StartDirectory::capture.
    std::function<std::optional<nivra::StartDirectory>()> startDirectory;
    // The start-up steps below the window: port list, discovery of the counters and their text
    // queries. Unset: nivra::runCounterStartup with the process-wide manager.
    std::function<nivra::CounterStartup(const nivra::StartDirectory&)> startup;
    // Runs a dialog modally and returns its result. Unset: QDialog::exec.
    std::function<int(QDialog&)> runModal;
    // Where the window keeps what it remembers between starts (whether the Counters window is
    // open, and where). Unset: the user's settings of the program.
    std::function<std::unique_ptr<QSettings>()> settings;
};

} // namespace nivra::ui

// The main window: one chart, one range slider, the statistics and dump lists and the live run
// display, serving five slots: slot 0, the viewer of saved data files, and slots 1 to 4 for
// counters 1 to 4. Exactly one slot is active and every display shows it; runs on other slots go
// on in the background.
//
// The window owns its parts and wires them; each part keeps its own state, handles its own
// buttons and menu items, and reaches the slots through the SlotBoard:
//   SlotBoard         the five slots and the active one (plain data);
//   SlotStatus        status text, file label, command enabling, Active Counter check marks;
//   LiveDisplay       the run's per-second labels, heartbeat, progress, the screen-updates switch;
//   RoiView           chart, range slider, ROI edits and buttons, point deletion, dump lists;
//   HeaderLines       the header-line list, its edit and buttons;
//   StatisticsPanel   All Data / ROI statistics and the Statistics Show selection;
//   FileCommands      New, Open, the saves and the way out;
//   RunControl        Start, Stop and the runs' reports about a slot's state;
//   DialogCommands    configuration dialogs, Print and About;
//   CompanionWindows  the Assessment and History windows; CountersWindow, the Counters window.
//
// Runs report through one RunEvents object whose signals reach the window queued, on its own
// thread; a run never waits for the window. The window waits for a run only when it is destroyed
// with runs still attached (stopRunsAndWait).
namespace nivra::ui {
class AssessmentDlg;
class CompanionWindows;
class CountersWindow;
class DialogCommands;
class FileCommands;
class HeaderLines;
class HistoryDlg;
class LiveDisplay;
class RoiView;
class TemplateForm;
class WindowMenu;
class RunControl;
class RunEvents;
class SlotStatus;
class StatisticsPanel;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowEnvironment environment = {}, QWidget* parent = nullptr);
    // Stops and waits for any run still attached to a slot before the slots and their records go.
    ~MainWindow() override;

    // The start-up: counters looked for, the viewer active, the statistics selection read, left
    // over backups offered. Runs once, before the window is first shown; tests call it to set up
    // a window without showing it.
    void initialise();

    // The window's controls, its menu and the area that holds the controls.
    const MainWindowUi& ui() const { return ui_; }
    WindowMenu* menu() const { return menu_; }
    TemplateForm* client() const { return client_; }

    // Where the window's runs report; tests may call its observer functions to play a run.
    nivra::ui::RunEvents& runReports() const { return *runEvents_; }
    // The Counters window (Active Counter > Counters), which exists, closed or open, as long as
    // the main window does.
    nivra::ui::CountersWindow& counters() const { return *countersWindow_; }

    // Points first to last (1-based, inclusive) of the active slot's record in the chart.
    void showPoints(int first, int last);
    // Stops every run still attached to a slot and waits until each has ended. Returns at once
    // when no run is attached.
    void stopRunsAndWait();

    // ---- state, for the window's owner and for tests ----
    int activeSlot() const { return slots_.activeIndex(); }
    const CounterSlot& slot(int index) const { return slots_.slot(index); }
    bool screenUpdates() const;
    const StatsShow& statsSelection() const;
    // Whether any slot has a run attached.
    bool hasRuns() const { return slots_.hasRuns(); }
    // The Assessment dialog once it has been opened (it stays, hidden, when closed), else null.
    nivra::ui::AssessmentDlg* assessmentDialog() const;
    // The History window once it has been opened (it stays, hidden, when closed), else null.
    nivra::ui::HistoryDlg* historyDialog() const;

signals:
    // The operator has left the program (File > Exit or the close box, and allowed).
    void closed();

protected:
    // The way out (close box, File > Exit): refused while a run goes on; unsaved data is offered
    // for saving first.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void wireMenu();
    void wireRunReports();
    std::int64_t now() const;

    // Status, header lines and assessment of the active slot.
    void refreshStatus();
    void refreshIfActive(int slot);
    // Redisplays everything for the active slot after it has changed.
    void showActiveSlot();
    void showActiveCounter(int slot);
    // Live redraw of chart and ROI view during a run on or off.
    void setScreenUpdates(bool on);
    // The viewer holds a new record: it is shown, its slider usable.
    void showViewer();
    // The active slot's record is about to go for a new run: its display goes with it.
    void clearRecordDisplay(bool resetLabels);

    // Run reports, on the window's thread.
    void showSecond(int counter, std::int64_t lastSecond, std::int64_t dwellCounts);
    // The run's start lines or a new point: the record's display (chart, ROI view, status).
    void showRunRecord(int counter);
    void showRunEnd(int counter);

    MainWindowEnvironment environment_;
    // The start directory as captured (none: the current directory could not be read, said at
    // start-up), and the one the parts are handed.
    const std::optional<nivra::StartDirectory> capturedStart_;
    const nivra::StartDirectory startDirectory_;
    WindowMenu* menu_ = nullptr;
    TemplateForm* client_ = nullptr;
    MainWindowUi ui_;
    bool initialised_ = false;
    nivra::ui::SlotBoard slots_;
    nivra::ui::RunEvents* runEvents_ = nullptr;
    // The parts, declared after the slots they read: they go first.
    std::unique_ptr<nivra::ui::SlotStatus> status_;
    std::unique_ptr<nivra::ui::LiveDisplay> live_;
    std::unique_ptr<nivra::ui::RoiView> roi_;
    std::unique_ptr<nivra::ui::HeaderLines> headers_;
    std::unique_ptr<nivra::ui::StatisticsPanel> statistics_;
    std::unique_ptr<nivra::ui::FileCommands> files_;
    std::unique_ptr<nivra::ui::RunControl> runs_;
    std::unique_ptr<nivra::ui::DialogCommands> dialogs_;
    std::unique_ptr<nivra::ui::CompanionWindows> companions_;
    nivra::ui::CountersWindow* countersWindow_ = nullptr;
    QIcon appIcon_;
};

} // namespace nivra::ui
