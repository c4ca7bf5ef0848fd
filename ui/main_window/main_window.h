#pragma once

#include "engine/run_observer.h"
#include "model/stats_show.h"
#include "ui/main_window/app_context.h"
#include "ui/main_window/counter_slot.h"
#include "ui/resources/main_window_ui.h"

#include <QDialog>
#include <QIcon>
#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QSettings;

// The main window: one chart, one range slider, the statistics and dump lists and the live run
// display, serving five slots: slot 0, the viewer of saved data files, and slots 1 to 4 for
// counters 1 to 4. Exactly one slot is active and every display shows it; runs on other slots go
// on in the background.
//
// The window owns its parts and wires them; each part handles its own buttons and menu items:
//   SlotModel         the five slots, the active one and the offered counters: the only
//                     receiver of the runs' reports and the only writer of a slot;
//   SlotStatus        status text, file label, command enabling, Active Counter check marks;
//   LiveDisplay       the run's per-second labels, heartbeat, progress, the screen-updates switch;
//   RoiView           chart, range slider, ROI edits and buttons, point deletion, dump lists;
//   HeaderLines       the header-line list, its edit and buttons;
//   StatisticsPanel   All Data / ROI statistics and the Statistics Show selection;
//   FileCommands      New, Open, the saves and the way out;
//   RunControl        Start, Stop and what the operator is told of the runs;
//   DialogCommands    configuration dialogs, Print and About;
//   CompanionWindows  the Assessment and History windows; CountersWindow, the Counters window.
//
// Every view renders the active slot (the Counters window all slots) from the slot model when
// the model announces a change, and edits a slot only through the model's functions. Runs
// report through the model's RunEvents, whose signals reach the model queued, on the window's
// thread; a run never waits for the window. The window waits for a run only when it is
// destroyed with runs still attached (stopRunsAndWait).
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
class SlotModel;
class SlotStatus;
class StatisticsPanel;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppContext context, QWidget* parent = nullptr);
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
    nivra::ui::RunEvents& runReports() const;
    // The Counters window (Active Counter > Counters), which exists, closed or open, as long as
    // the main window does.
    nivra::ui::CountersWindow& counters() const { return *countersWindow_; }

    // Points first to last (1-based, inclusive) of the active slot's record in the chart.
    void showPoints(int first, int last);
    // Stops every run still attached to a slot and waits until each has ended. Returns at once
    // when no run is attached.
    void stopRunsAndWait();

    // ---- state, for the window's owner and for tests ----
    int activeSlot() const;
    const CounterSlot& slot(int index) const;
    bool screenUpdates() const;
    const StatsShow& statsSelection() const;
    // Whether any slot has a run attached.
    bool hasRuns() const;
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
    // Connects the views to the slot model's announcements.
    void wireSlotModel();
    std::int64_t now() const;

    // Status, header lines and assessment of the active slot.
    void refreshStatus();
    // Redisplays everything for the active slot (another slot became active, or the active
    // slot's record was replaced).
    void showActiveSlot();
    // Live redraw of chart and ROI view during a run on or off.
    void setScreenUpdates(bool on);

    // The active slot's run, as the model announces it.
    void showSecond(std::int64_t lastSecond, std::int64_t dwellCounts);
    // The run's start lines or a new point: the record's display (chart, ROI view, status).
    void showRunRecord();
    void showRunEnd();

    AppContext context_;
    WindowMenu* menu_ = nullptr;
    TemplateForm* client_ = nullptr;
    MainWindowUi ui_;
    bool initialised_ = false;
    // A child of the window: it outlives the parts below, which are destroyed with the window's
    // members, and stops the runs when it goes.
    nivra::ui::SlotModel* slots_ = nullptr;
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
