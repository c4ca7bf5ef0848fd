#include "ui/main_window/file_commands.h"

#include "model/csv_export.h"
#include "model/data_file.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/dialogs/save_report_qt.h"
#include "ui/main_window/roi_view.h"
#include "ui/main_window/slot_model.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"

#include <QAction>

namespace nivra::ui {

namespace {

using nivra::ui::FileDialogRequest;
using nivra::ui::FileFilter;

const FileFilter kDataFilter{QStringLiteral("DataNivra(*.dax)"), QStringLiteral("*.dax")};
const FileFilter kCsvFilter{QStringLiteral("CSV(*.csv)"), QStringLiteral("*.csv")};

FileDialogRequest saveRequest(const QString& extension, const FileFilter& filter,
                              const AssayData& data) {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.defaultExtension = extension;
    request.initialName = fromNarrow(data.counterConfig().description);
    request.filters = {filter};
    request.overwritePrompt = true;
    return request;
}

// A data file save as an Outcome, with the system's reason when it failed.
nivra::Outcome saveDataFileSaying(const AssayData& data, const std::string& path) {
    std::string reason;
    if (nivra::saveDataFile(data, path, reason))
        return {};
    return nivra::Outcome::failure(reason);
}

// Asks for a file and writes it with `write`, which returns an Outcome. Returns whether the
// file was written; the operator has been told either way, and why it was not.
template <class Write>
bool saveWithDialog(Prompts& prompts, const FileDialogRequest& request, const QString& successText,
                    Write write, std::string* chosenPath = nullptr) {
    const std::optional<QString> path = prompts.fileDialog(request);
    if (!path) {
        prompts.tell(QStringLiteral("data not saved"));
        return false;
    }
    const std::string target = toNarrow(*path);
    const nivra::Outcome outcome = write(target);
    const bool written = outcome.ok();
    reportSave(prompts, outcome, successText, target);
    if (written && chosenPath)
        *chosenPath = target;
    return written;
}

} // namespace

FileCommands::FileCommands(Prompts& prompts, WindowMenu& menu, SlotModel& model,
                           const StatsShow& shown, RegionSource region)
    : prompts_(prompts), slots_(model), shown_(shown), region_(std::move(region)) {
    using namespace nivra::res;
    const auto on = [&](MenuCommand command, auto handler) {
        connect(menu.action(command), &QAction::triggered, this, handler);
    };
    on(Command::FileNew, [this] { clearForNewRun(); });
    on(Command::FileOpen, [this] { open(); });
    on(Command::FileSave, [this] { save(); });
    on(Command::SaveCsv, [this] { saveCsv(); });
    on(Command::SaveRoi, [this] { saveRegion(false); });
    on(Command::SaveRoiCsv, [this] { saveRegion(true); });
}

void FileCommands::clearForNewRun() {
    const CounterSlot& slot = slots_.active();
    // Only a counter slot without a run can be cleared (the menu offers New for no other). A
    // running slot's record is being filled and must stay.
    if (slot.state != DEMO && slot.state != STOPPED)
        return;
    if (!slot.saved) {
        const Answer answer =
            prompts_.ask(QStringLiteral("Data not saved, would you like to save?"),
                         MessageButtons::YesNoCancel, Sound::Exclamation);
        if (answer == Answer::Cancel)
            return;
        // The operator asked to keep the data: when it did not reach a file (save dialog
        // cancelled, file not written), the slot keeps it rather than throwing it away unsaved.
        if (answer == Answer::Yes && !save())
            return;
    }
    slots_.clearForNewRun(slots_.activeIndex());
}

bool FileCommands::save() {
    const CounterSlot& slot = slots_.active();
    if (!slot.data)
        return false;
    const AssayData& data = *slot.data;
    std::string path;
    const bool saved = saveWithDialog(
        prompts_, saveRequest(QStringLiteral(".dax"), kDataFilter, data),
        QStringLiteral("data saved"),
        [&](const std::string& target) { return saveDataFileSaying(data, target); }, &path);
    if (saved)
        slots_.markSaved(slots_.activeIndex(), path);
    return saved;
}

void FileCommands::saveCsv() {
    const CounterSlot& slot = slots_.active();
    if (!slot.data)
        return;
    const AssayData& data = *slot.data;
    // The CSV is an export: the slot's saved flag and file name stay as they are.
    saveWithDialog(prompts_, saveRequest(QStringLiteral(".csv"), kCsvFilter, data),
                   QStringLiteral("csv data saved"), [&](const std::string& target) {
                       return nivra::writeCsvExport(data, target, shown_);
                   });
}

void FileCommands::saveRegion(bool csv) {
    const CounterSlot& slot = slots_.active();
    if (!slot.hasPoints())
        return;
    const PointRange range = region_();
    // The region as a record of its own: no header lines, a total time of its points × dwell.
    const std::unique_ptr<AssayData> region = slot.data->extractRange(range.first, range.last);
    if (csv) {
        saveWithDialog(prompts_, saveRequest(QStringLiteral(".csv"), kCsvFilter, *slot.data),
                       QStringLiteral("ROI csv data saved"), [&](const std::string& target) {
                           return nivra::writeCsvExport(*region, target, shown_);
                       });
    } else {
        saveWithDialog(prompts_,
                       saveRequest(QStringLiteral(".dax"),
                                   {QStringLiteral("Data Nivra (*.dax)"), QStringLiteral("*.dax")},
                                   *slot.data),
                       QStringLiteral("data saved"), [&](const std::string& target) {
                           return saveDataFileSaying(*region, target);
                       });
    }
}

bool FileCommands::mayReplaceViewer() {
    if (slots_.viewer().saved)
        return true;
    const Answer answer =
        prompts_.ask(QStringLiteral("Viewer data not saved, would you like to save?"),
                     MessageButtons::YesNoCancel, Sound::Exclamation);
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::No)
        return true;
    // The window shows the viewer whose data is being saved.
    if (!slots_.isActive(kViewerSlot))
        slots_.select(kViewerSlot);
    return save();
}

void FileCommands::open() {
    // The viewer is unsaved only after an edit (a deleted point, a header line); New does not
    // serve the viewer, so the way out is to save or to give the edit up.
    if (!mayReplaceViewer())
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.defaultExtension = QStringLiteral(".dax");
    request.filters = {kDataFilter};
    request.overwritePrompt = false;
    const std::optional<QString> path = prompts_.fileDialog(request);
    if (!path)
        return;
    // A file that cannot be read or is not a data file is refused, and the viewer keeps what it
    // shows; a FIFO or a device is refused without waiting on it.
    // A damaged point is refused, never shown as a count.
    const std::string source = toNarrow(*path);
    std::string problem;
    // Reading the file takes only the window's own thread: runs on the counters go on and are
    // served as soon as the window is back in its event loop.
    std::unique_ptr<AssayData> record = nivra::openDataFile(source, problem);
    if (!record) {
        prompts_.tell(fromNarrow(problem));
        return;
    }
    slots_.fillViewer(std::move(record), source);
}

bool FileCommands::mayExit() {
    if (slots_.hasRuns()) {
        prompts_.tell(QStringLiteral("assay(s) running, stop first"));
        return false;
    }
    for (int i = 0; i < kSlotCount; ++i) {
        const CounterSlot& slot = slots_.slot(i);
        if (!slot.hasPoints() || slot.saved)
            continue;
        const Answer answer = prompts_.ask(
            QStringLiteral("Data for counter %1 not saved, would you like to save?").arg(i),
            MessageButtons::YesNoCancel, Sound::Exclamation);
        if (answer == Answer::Cancel)
            return false;
        if (answer != Answer::Yes)
            continue;
        // The window shows the slot whose data is being saved.
        if (!slots_.isActive(i))
            slots_.select(i);
        // Data the operator asked to keep that did not reach a file keeps the program open.
        if (!save())
            return false;
    }
    return true;
}

} // namespace nivra::ui
