// The File menu: New, which clears the active counter slot for a new run; Open, which loads a
// data file into the viewer; Save and Save CSV of the active slot's record and of its region of
// interest; and the way out (Exit and the close box).
//
// Every save tells the operator its outcome: the success text only when the file was written,
// "data not saved" for a cancelled dialog, and the file's name with "File not saved" when it
// could not be written.

#include "model/csv_export.h"
#include "model/data_file.h"
#include "storage/run_recorder.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/controls/range_slider.h"
#include "ui/dialogs/save_report_qt.h"
#include "ui/main_window/nivra_dlg.h"

#include <QListWidget>

using namespace nivra::ui::main;

namespace {

using nivra::ui::FileDialogRequest;
using nivra::ui::FileFilter;

const FileFilter kDataFilter{QStringLiteral("DataNivra(*.dax)"), QStringLiteral("*.dax")};
const FileFilter kCsvFilter{QStringLiteral("CSV(*.csv)"), QStringLiteral("*.csv")};

FileDialogRequest SaveRequest(const QString& extension, const FileFilter& filter,
                              const AssayData& data) {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.defaultExtension = extension;
    request.initialName = nivra::ui::FromNarrow(data.counterConfig().description);
    request.filters = {filter};
    request.overwritePrompt = true;
    return request;
}

// Asks for a file and writes it with `write`. Returns whether the file was written; the
// operator has been told either way.
template <class Write>
bool SaveWithDialog(const FileDialogRequest& request, const QString& successText, Write write,
                    std::string* chosenPath = nullptr) {
    const std::optional<QString> path = nivra::ui::Prompts().FileDialog(request);
    if (!path) {
        nivra::ui::ShowMessage(QStringLiteral("data not saved"));
        return false;
    }
    const std::string target = nivra::ui::ToNarrow(*path);
    const bool written = write(target);
    nivra::ui::ReportSave(written, successText, target);
    if (written && chosenPath)
        *chosenPath = target;
    return written;
}

} // namespace

void CNivraDlg::OnFileNew() {
    CounterSlot& slot = ActiveSlotRecord();
    // Only a counter slot without a run can be cleared (the menu offers New for no other). A
    // running slot's record is being filled and must stay.
    if (slot.state != DEMO && slot.state != STOPPED)
        return;
    if (slot.saved) {
        ResetSlotForNewRun(false);
        return;
    }
    const nivra::ui::Answer answer =
        nivra::ui::Ask(QStringLiteral("Data not saved, would you like to save?"),
                       nivra::ui::MessageButtons::YesNoCancel, nivra::ui::Sound::Exclamation);
    if (answer == nivra::ui::Answer::Cancel) {
        RefreshStatus();
        return;
    }
    // The operator asked to keep the data: when it did not reach a file (save dialog cancelled,
    // file not written), the slot keeps it rather than throwing it away unsaved.
    if (answer == nivra::ui::Answer::Yes && !OnFileSave())
        return;
    ResetSlotForNewRun(true);
}

void CNivraDlg::ResetSlotForNewRun(bool resetLabels) {
    CounterSlot& slot = ActiveSlotRecord();
    ClearChart();
    for (int id : {kStatsValueList, kRoiDumpList, kDataDumpList})
        ClearList(id);
    if (resetLabels) {
        ClearList(kHeaderList);
        SetItemText(kFileLabel, QStringLiteral("File: "));
        SetItemText(kEndTimeLabel, QStringLiteral("End Time: "));
        SetItemText(kTimeLeftLabel, QStringLiteral("Time Left:"));
    }
    // The run that filled the record has ended (only DEMO and STOPPED slots are cleared).
    slot.history.reset();
    slot.recorder.reset();
    slot.data.reset();
    slot.fileName = "File: ";
    slot.state = NEW;
    slot.saved = true;
    slot.backupProblem.clear(); // it was about the record that goes now
    RefreshStatus();
}

bool CNivraDlg::OnFileSave() {
    CounterSlot& slot = ActiveSlotRecord();
    if (!slot.data)
        return false;
    const AssayData& data = *slot.data;
    std::string path;
    const bool saved = SaveWithDialog(
        SaveRequest(QStringLiteral(".dax"), kDataFilter, data), QStringLiteral("data saved"),
        [&](const std::string& target) { return nivra::saveDataFile(data, target); }, &path);
    if (saved) {
        slot.saved = true;
        slot.fileName = path;
        // The run's row in the history names the file it was last saved to.
        if (slot.recorder)
            slot.recorder->dataFileSaved(path);
    }
    RefreshStatus();
    return saved;
}

void CNivraDlg::OnSaveCsv() {
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.data)
        return;
    const AssayData& data = *slot.data;
    // The CSV is an export: the slot's saved flag and file name stay as they are.
    SaveWithDialog(
        SaveRequest(QStringLiteral(".csv"), kCsvFilter, data), QStringLiteral("csv data saved"),
        [&](const std::string& target) { return nivra::writeCsvExport(data, target, statsShow_); });
}

void CNivraDlg::OnSaveRoi(bool csv) {
    const CounterSlot& slot = ActiveSlotRecord();
    if (!slot.HasPoints())
        return;
    int first = 0, last = 0;
    RoiSelection(first, last);
    // The region as a record of its own: no header lines, a total time of its points × dwell.
    const std::unique_ptr<AssayData> region = slot.data->extractRange(first, last);
    if (csv) {
        SaveWithDialog(SaveRequest(QStringLiteral(".csv"), kCsvFilter, *slot.data),
                       QStringLiteral("ROI csv data saved"), [&](const std::string& target) {
                           return nivra::writeCsvExport(*region, target, statsShow_);
                       });
    } else {
        SaveWithDialog(SaveRequest(QStringLiteral(".dax"),
                                   {QStringLiteral("Data Nivra (*.dax)"), QStringLiteral("*.dax")},
                                   *slot.data),
                       QStringLiteral("data saved"), [&](const std::string& target) {
                           return nivra::saveDataFile(*region, target);
                       });
    }
}

void CNivraDlg::OnFileOpen() {
    CounterSlot& viewer = slots_[kViewerSlot];
    if (!viewer.saved) {
        nivra::ui::ShowMessage(QStringLiteral("Viewer data not saved, save first"));
        return;
    }
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.defaultExtension = QStringLiteral(".dax");
    request.filters = {kDataFilter};
    request.overwritePrompt = false;
    const std::optional<QString> path = nivra::ui::Prompts().FileDialog(request);
    if (!path)
        return;
    // A file that cannot be read or is not a data file is refused, and the viewer keeps what it
    // shows; a FIFO or a device is refused without waiting on it.
    const std::string source = nivra::ui::ToNarrow(*path);
    if (const std::string problem = nivra::dataFileProblem(source); !problem.empty()) {
        nivra::ui::ShowMessage(nivra::ui::FromNarrow(problem));
        return;
    }
    // Reading the file takes only the window's own thread: runs on the counters go on and are
    // served as soon as the window is back in its event loop.
    ShowInViewer(nivra::readDataFile(source), source);
}

void CNivraDlg::ShowInViewer(std::unique_ptr<AssayData> data, const std::string& fileName) {
    CounterSlot& viewer = slots_[kViewerSlot];
    viewer.data = std::move(data);
    viewer.fileName = fileName;
    activeSlot_ = kViewerSlot;
    ShowActiveSlot();
    rangeSlider_->setEnabled(true);
    UpdateData(false);
}

bool CNivraDlg::MayExit() {
    if (HasRuns()) {
        nivra::ui::ShowMessage(QStringLiteral("assay(s) running, stop first"));
        return false;
    }
    for (int i = 0; i < kSlotCount; ++i) {
        const CounterSlot& slot = slots_[static_cast<std::size_t>(i)];
        if (!slot.HasPoints() || slot.saved)
            continue;
        const nivra::ui::Answer answer = nivra::ui::Ask(
            QStringLiteral("Data for counter %1 not saved, would you like to save?").arg(i),
            nivra::ui::MessageButtons::YesNoCancel, nivra::ui::Sound::Exclamation);
        if (answer == nivra::ui::Answer::Cancel)
            return false;
        if (answer != nivra::ui::Answer::Yes)
            continue;
        // The window shows the slot whose data is being saved.
        if (activeSlot_ != i) {
            activeSlot_ = i;
            ShowActiveSlot();
        }
        // Data the operator asked to keep that did not reach a file keeps the program open.
        if (!OnFileSave())
            return false;
    }
    return true;
}

void CNivraDlg::OnCancel() {
    if (MayExit())
        CDialogBase::OnCancel();
}
