#pragma once

// A main window on a temporary start directory, with a virtual clock, counters that count at a
// steady rate, scripted prompts and a run dialog driven without a modal loop. Runs take
// milliseconds of real time; the window's thread handles their messages whenever the test pumps
// events.

#include "base/start_directory.h"
#include "engine/assay_run.h"
#include "model/assay_config.h"
#include "model/counter_config.h"
#include "model/data_file.h"
#include "support/run_fakes.h"
#include "support/temp_dir.h"
#include "ui/controls/notifications.h"
#include "ui/controls/range_slider.h"
#include "ui/dialogs/run_config_dlg.h"
#include "ui/main_window/chart_widget.h"
#include "ui/main_window/main_window.h"
#include "ui/resources/main_window_ui.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_commands.h"
#include "ui/resources/resource_ids.h"
#include "ui_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <memory>
#include <mutex>

namespace nivra::test {

using Ui = nivra::ui::MainWindowUi;

// Counters whose count register grows by a fixed number per second of the clock, as a source of
// steady activity does (or a rising one, for reports that tell the seconds apart); a reset sets
// the register back to 0. The register grows at the first read in each new second; the run's
// further reads in that second find it unchanged. Each counter number has its own register. A
// counter can be held before a given read: its worker then waits inside that read, so its run
// neither counts nor moves the clock until the test releases it.
class SteadyCounters final : public CounterAccess {
public:
    explicit SteadyCounters(VirtualClock& clock) : clock_(clock) {}

    // The register grows by perRead in the first second, and by `ramp` more in every further one.
    void setRate(int counter, std::int32_t perRead, std::int32_t ramp = 0) {
        std::lock_guard lock(mutex_);
        counters_[counter].rate = perRead;
        counters_[counter].ramp = ramp;
    }
    // Adds 0 to `noise` counts, drawn at random, to every read.
    void setNoise(int counter, std::int32_t noise) {
        std::lock_guard lock(mutex_);
        counters_[counter].noise = noise;
    }
    // The worker of the counter waits before its first read in second `read` of the run.
    void holdAt(int counter, int read) {
        std::lock_guard lock(mutex_);
        counters_[counter].holdAt = read;
    }
    bool waitUntilHeld(int counter) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30),
                                 [&] { return counters_[counter].held; });
    }
    // Lets a held worker go on; a hold set after the read it waits in stays for later.
    void release(int counter) {
        {
            std::lock_guard lock(mutex_);
            counters_[counter].held = false;
        }
        changed_.notify_all();
    }
    void releaseAll() {
        {
            std::lock_guard lock(mutex_);
            for (auto& entry : counters_) {
                entry.second.holdAt = 0;
                entry.second.held = false;
            }
        }
        changed_.notify_all();
    }
    // The counter stops answering (or answers again); its register stands still meanwhile.
    void setSilent(int counter, bool silent) {
        std::lock_guard lock(mutex_);
        counters_[counter].silent = silent;
    }
    CommandOutcome resetCount(int counter) override {
        std::lock_guard lock(mutex_);
        if (counters_[counter].silent)
            return CommandOutcome::kNoAnswer;
        counters_[counter].reg = 0;
        counters_[counter].second = clock_.now();
        return CommandOutcome::kAnswered;
    }
    CommandOutcome readCount(int counter, std::int32_t& count) override {
        std::unique_lock lock(mutex_);
        Counter& c = counters_[counter];
        const std::int64_t second = clock_.now();
        if (second <= c.second) {
            if (c.silent)
                return CommandOutcome::kNoAnswer;
            count = c.reg;
            return CommandOutcome::kAnswered;
        }
        c.second = second;
        if (++c.reads == c.holdAt) {
            c.held = true;
            changed_.notify_all();
            changed_.wait(lock, [&] { return !c.held; });
        }
        if (c.silent)
            return CommandOutcome::kNoAnswer;
        std::int32_t delta = c.rate;
        if (c.noise > 0) {
            c.seed = c.seed * 1664525u + 1013904223u;
            delta +=
                static_cast<std::int32_t>((c.seed >> 16) % static_cast<std::uint32_t>(c.noise + 1));
        }
        c.reg = (c.reg + delta) % 256;
        c.rate += c.ramp;
        count = c.reg;
        return CommandOutcome::kAnswered;
    }

private:
    struct Counter {
        std::int32_t rate = 0;
        std::int32_t ramp = 0;
        std::int32_t noise = 0;
        std::uint32_t seed = 12345;
        std::int32_t reg = 0;
        int reads = 0;
        int holdAt = 0;
        bool held = false;
        bool silent = false;
        std::int64_t second = 0; // the last second the register grew in
    };
    VirtualClock& clock_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, Counter> counters_;
};

// Keeps the desktop notifications the window gives.
class RecordingNotifier final : public ui::Notifier {
public:
    bool notify(const QString& title, const QString& text) override {
        messages.push_back(title + " | " + text);
        return true;
    }
    QStringList messages;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"assay_config", "counter_config", "backup_data"})
            std::filesystem::create_directory(dir_.file(folder));
    }

    void TearDown() override {
        // Nothing may keep a run waiting once the window stops it.
        counters_.releaseAll();
        clock_.pauseAt(std::numeric_limits<std::int64_t>::max());
        clock_.resume();
        window_.reset();
        if (!previousDirectory_.empty())
            std::filesystem::current_path(previousDirectory_);
    }

    // The window after its initialisation, with `found` counters discovered. Without a start
    // directory read, the window works in the current directory, which is then the test's
    // folder.
    ui::MainWindow& open(int found = 2, bool startDirectoryRead = true) {
        if (!startDirectoryRead && previousDirectory_.empty()) {
            previousDirectory_ = std::filesystem::current_path().string();
            std::filesystem::current_path(dir_.path());
        }
        const StartDirectory start = startDirectoryRead ? dir_.start() : StartDirectory(".");
        ui::AppContext context{windowPrompts_ ? *windowPrompts_ : prompts_, notifier_, start,
                               startDirectoryRead, nivra::resolveHistoryLocation(start)};
        context.run = nivra::RunEnvironment{&clock_, &counters_};
        context.startup = [found](const StartDirectory&) {
            return nivra::CounterStartup{found, {}};
        };
        context.runModal = [this](QDialog& dialog) { return driveDialog(dialog); };
        // What the window remembers between starts stays in the test's folder.
        context.settings = [this] {
            return std::make_unique<QSettings>(QString::fromStdString(dir_.file("settings.ini")),
                                               QSettings::IniFormat);
        };
        window_ = std::make_unique<ui::MainWindow>(std::move(context));
        window_->initialise();
        return *window_;
    }

    // The run dialog as an operator drives it: it opens, the assay configuration `assayFile_`
    // is chosen and START pressed; without an assay file the operator cancels. Any other dialog
    // goes to `otherDialog_` when a test has set it, and is otherwise closed at once.
    int driveDialog(QDialog& dialog) {
        auto* run = qobject_cast<ui::RunConfigDlg*>(&dialog);
        if (!run) {
            ++otherDialogs_;
            if (otherDialog_)
                return otherDialog_(dialog);
            dialog.reject();
            return dialog.result();
        }
        if (assayFile_.empty()) {
            run->ui().cancel->click();
            return dialog.result();
        }
        prompts_.chooseFile(QString::fromStdString(assayFile_));
        run->ui().openAssay->click();
        run->ui().start->click();
        return dialog.result();
    }

    // An assay configuration file with the given dwell and total time in seconds.
    std::string writeAssay(const std::string& name, std::uint32_t dwell, std::uint32_t total) {
        AssayConfig assay = AssayConfig::defaults();
        assay.name = name;
        assay.dwellHours = assay.dwellMinutes = 0;
        assay.dwellSeconds = dwell;
        assay.totalHours = assay.totalMinutes = 0;
        assay.totalSeconds = total;
        const std::string path = dir_.file("assay_config/" + name + ".acx");
        EXPECT_TRUE(assay.write(path).ok());
        return path;
    }

    // The counter's own configuration, which the run dialog proposes.
    void writeCounterConfig(int counter) {
        CounterConfig config = CounterConfig::defaults();
        config.name = "detector " + std::to_string(counter);
        config.description = "bench " + std::to_string(counter);
        EXPECT_TRUE(config.write(dir_.start().counterConfig(counter)).ok());
    }

    // Makes the counter active, clears it with File New and starts a run with the given assay.
    void startRun(int counter, const std::string& assayPath) {
        writeCounterConfig(counter);
        assayFile_ = assayPath;
        choose(nivra::res::activeCounterCommand(counter));
        choose(nivra::res::Command::FileNew);
        choose(nivra::res::Command::RunStart);
        ASSERT_EQ(window_->slot(counter).state, ui::RUNNING);
    }

    // Handles the window's events (and so the runs' messages) until the condition holds; false
    // after ten seconds of real time.
    bool pumpUntil(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::usleep(200);
        }
        return true;
    }

    // Handles events for a while, for things that must not happen.
    void pumpFor(std::chrono::milliseconds span) {
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::usleep(200);
        }
    }

    // Handles events until the slot's run has reported its end.
    bool pumpUntilStopped(int slot) {
        return pumpUntil([&] { return window_->slot(slot).state == ui::STOPPED; });
    }
    // Handles events until every run thread has ended.
    bool pumpUntilNoRuns() {
        return pumpUntil([this] { return !window_->hasRuns(); });
    }

    // Shows all sixteen statistics (a fresh start directory shows none).
    void showAllStatistics() {
        for (int k = 0; k < static_cast<int>(nivra::kStatisticCount); ++k)
            if (!checked(nivra::statisticAt(k)))
                choose(nivra::statisticAt(k));
    }

    // A data file with the given counts and header lines, a dwell of one minute and a total
    // time of one hour; background rate 1 per hour over 4 hours unless told otherwise.
    std::string writeDataFile(const std::string& name, const std::vector<std::int32_t>& counts,
                              const std::vector<std::string>& headerLines = {},
                              double backgroundRate = 1.0) {
        CounterConfig counter = CounterConfig::defaults();
        counter.description = "bench 7";
        AssayConfig assay = AssayConfig::defaults();
        assay.name = name;
        assay.dwellHours = assay.dwellSeconds = 0;
        assay.dwellMinutes = 1;
        assay.totalHours = 1;
        assay.totalMinutes = assay.totalSeconds = 0;
        assay.backgroundRate = backgroundRate;
        AssayData data(counter, assay, 1);
        for (const std::string& line : headerLines)
            data.appendHeaderLine(line);
        for (std::int32_t count : counts)
            data.appendPoint(count);
        const std::string path = dir_.file(name + ".dax");
        EXPECT_TRUE(nivra::saveDataFile(data, path));
        return path;
    }

    // File > Open of a data file into the viewer.
    void openInViewer(const std::string& path) {
        prompts_.chooseFile(QString::fromStdString(path));
        send(nivra::res::Command::FileOpen);
    }

    // Chooses the menu item of a command, as the operator does: a grayed item does nothing.
    void choose(nivra::res::MenuCommand command) {
        QAction* item = window_->menu()->action(command);
        ASSERT_NE(item, nullptr) << command;
        item->trigger();
    }
    // Sends the command of a menu item whether or not the item is grayed, for the checks the
    // window makes itself on a command that arrives anyway.
    void send(nivra::res::MenuCommand command) {
        QAction* item = window_->menu()->action(command);
        ASSERT_NE(item, nullptr) << command;
        emit item->triggered(false);
    }

    // Presses one of the window's buttons, `times` times.
    void press(QPushButton* Ui::*button, int times = 1) {
        for (int i = 0; i < times; ++i)
            (window_->ui().*button)->click();
    }

    // ---- reading the window ----
    template <class Widget> QString text(Widget* Ui::*control) const {
        return (window_->ui().*control)->text();
    }
    bool enabled(nivra::res::MenuCommand command) const {
        return window_->menu()->isEnabled(command);
    }
    bool checked(nivra::res::MenuCommand command) const {
        return window_->menu()->isChecked(command);
    }
    ui::RangeSlider* slider() const { return window_->ui().slider; }
    ui::ChartWidget* chartWidget() const { return window_->ui().chart; }
    int chartRows() const { return chartWidget()->rowCount(); }
    int progress() const { return window_->ui().progress->value(); }
    bool heartbeat() const { return window_->ui().heartbeat->isChecked(); }
    QStringList items(QListWidget* Ui::*control) const {
        QStringList items;
        const QListWidget* list = window_->ui().*control;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
    }

    TempDir dir_;
    VirtualClock clock_;
    SteadyCounters counters_{clock_};
    ScriptedPrompts prompts_;
    // Prompts of a test's own for the window, in place of prompts_; they must outlive window_.
    ui::Prompts* windowPrompts_ = nullptr;
    RecordingNotifier notifier_;
    std::string assayFile_;
    std::function<int(QDialog&)> otherDialog_;
    int otherDialogs_ = 0;
    std::unique_ptr<ui::MainWindow> window_;

private:
    std::string previousDirectory_;
};

} // namespace nivra::test
