#include "ui/resources/about_ui.h"
#include "ui/resources/assay_config_ui.h"
#include "ui/resources/counter_config_ui.h"
#include "ui/resources/dialog_template.h"
#include "ui/resources/main_window_controls.h"
#include "ui/resources/resource_ids.h"
#include "ui/resources/run_config_ui.h"
#include "ui/resources/ui_binding.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace nivra::res {

namespace {

using K = ControlKind;
namespace main = nivra::ui::main;
using nivra::ui::AboutUi;
using nivra::ui::AssayConfigUi;
using nivra::ui::CounterConfigUi;
using nivra::ui::RunConfigUi;

constexpr std::uint32_t kFlat = kStyleFlat;
constexpr std::uint32_t kBorderedEdit = kStyleStaticEdge;
constexpr std::uint32_t kBorderedDigits = kStyleStaticEdge | kStyleDigitsOnly;
constexpr std::uint32_t kFixedDialog = kDialogCaption | kDialogSystemMenu | kDialogModalFrame;

// The About box.
DialogTemplate aboutDialog() {
    return {kDialogAbout,
            "About Nivra-USB",
            "MS Shell Dlg",
            8,
            235,
            55,
            0,
            kFixedDialog,
            {
                {kNoId, K::Icon, "", 11, 17, 20, 20},
                {kNoId, K::Label, "version info", 40, 10, 119, 8, kStyleNoPrefix,
                 member<&AboutUi::version>()},
                {kNoId, K::Label, "Alpha counting with up to four counters", 40, 25, 119, 8},
                {kNoId, K::PushButton, "OK", 177, 7, 50, 16, kStyleDefaultButton,
                 member<&AboutUi::ok>()},
            }};
}

// The main window.
DialogTemplate mainDialog() {
    return {
        kDialogMain,
        "Nivra-USB- v3.04",
        "Microsoft Sans Serif",
        8,
        647,
        383,
        kMenuMain,
        kFixedDialog | kDialogMinimizeBox | kDialogAppWindow | kDialogStaticEdge,
        {
            {main::kChart, K::Chart, "", 2, 29, 455, 314},
            {kNoId, K::GroupBox, "View Control", 2, 344, 455, 37},
            {main::kActiveLabel, K::Label, "ACTIVE: VIEWER", 3, 3, 100, 10},
            {main::kProgressBar, K::ProgressBar, "", 3, 14, 266, 7, kStyleSmooth | kStyleBorder},
            {main::kRangeSlider, K::RangeSlider, "Custom1", 54, 353, 262, 20},
            {main::kDataDumpList, K::ListBox, "", 561, 29, 41, 240,
             kStyleVScroll | kStyleStaticEdge},
            {main::kStatsValueList, K::ListBox, "", 510, 35, 46, 181,
             kStyleVScroll | kStyleNoSelection},
            {main::kRoiDumpList, K::ListBox, "", 604, 29, 41, 240,
             kStyleVScroll | kStyleStaticEdge},
            {main::kDataDumpButton, K::PushButton, "Data Dump", 561, 271, 41, 12, kFlat},
            {main::kRoiDumpButton, K::PushButton, "ROI Dump", 604, 271, 41, 12, kFlat},
            {kNoId, K::GroupBox, "Statistics", 459, 25, 100, 207, kStyleCentreTitle},
            {main::kAllDataButton, K::PushButton, "All Data", 463, 219, 45, 10, kFlat},
            {main::kRoiStatsButton, K::PushButton, "ROI", 511, 219, 45, 10, kFlat},
            {main::kHeaderList, K::ListBox, "", 459, 285, 186, 78,
             kStyleVScroll | kStyleStaticEdge},
            {main::kHeaderEdit, K::Edit, "", 459, 366, 128, 15, kBorderedEdit},
            {main::kAddHeaderButton, K::PushButton, "Add", 590, 366, 26, 15, kFlat},
            {main::kStatusLabel, K::Label, "IDC_STATIC_COUNTER_STATUS", 110, 3, 108, 10},
            {main::kDeletePointEdit, K::Edit, "", 465, 265, 30, 12, kBorderedDigits},
            {main::kDeletePointButton, K::PushButton, "Delete", 501, 265, 52, 12,
             kFlat | kStyleMultiline},
            {main::kDelHeaderButton, K::PushButton, "Del", 619, 366, 26, 15, kFlat},
            {main::kHeartbeatBox, K::CheckBox, "Check1", 274, 1, 10, 8, kFlat | kStyleAutoCheck},
            {main::kCountsLastSecondLabel, K::Label, "Counts Last Sec: 0", 552, 0, 93, 8},
            {main::kCountsDwellLabel, K::Label, "Counts Cur Dwell: 0", 552, 9, 93, 8},
            {main::kFileLabel, K::Label, "File:", 2, 21, 478, 8},
            {main::kScreenUpdatesButton, K::PushButton, "Disable Screen Updates", 459, 236, 100, 15,
             kFlat | kStyleMultiline},
            {main::kStatsLabelList, K::ListBox, "", 463, 35, 46, 181,
             kStyleVScroll | kStyleNoSelection},
            {main::kEndTimeLabel, K::Label, "End Time:", 366, 1, 148, 11},
            {main::kTimeLeftLabel, K::Label, "Time Left:", 366, 13, 148, 11},
            {main::kLowDownButton, K::PushButton, "<", 5, 353, 22, 20, kFlat},
            {main::kLowUpButton, K::PushButton, ">", 28, 353, 22, 20, kFlat},
            {main::kHighDownButton, K::PushButton, "<", 319, 353, 22, 20, kFlat},
            {main::kHighUpButton, K::PushButton, ">", 342, 353, 22, 20, kFlat},
            {main::kSetRoiButton, K::PushButton, "Set ROI", 370, 353, 22, 20,
             kFlat | kStyleMultiline},
            {main::kRoiMinEdit, K::Edit, "", 425, 350, 28, 12, kBorderedDigits},
            {main::kRoiMaxEdit, K::Edit, "", 425, 364, 28, 12, kBorderedDigits},
            {kNoId, K::GroupBox, "Delete Point", 459, 254, 100, 29},
            {kNoId, K::Label, "ROI Min", 395, 353, 27, 10, kStyleRightAlign},
            {kNoId, K::Label, "ROI Max", 392, 365, 30, 10, kStyleRightAlign},
        }};
}

// The counter configuration dialog.
DialogTemplate counterConfigDialog() {
    return {
        kDialogCounterConfig,
        "Counter Configuration",
        "MS Sans Serif",
        8,
        329,
        154,
        0,
        kFixedDialog,
        {
            {kNoId, K::Edit, "", 12, 28, 304, 13, kBorderedEdit, member<&CounterConfigUi::name>()},
            {kNoId, K::Edit, "", 12, 58, 304, 13, kBorderedEdit | kStyleMultiline,
             member<&CounterConfigUi::description>()},
            {kNoId, K::Edit, "", 63, 92, 64, 13, kBorderedEdit,
             member<&CounterConfigUi::detectorArea>()},
            {kNoId, K::Edit, "", 223, 92, 60, 13, kBorderedEdit,
             member<&CounterConfigUi::detectorEfficiency>()},
            {kNoId, K::PushButton, "Load", 7, 131, 63, 16, kFlat, member<&CounterConfigUi::load>()},
            {kNoId, K::PushButton, "Save", 74, 131, 63, 16, kFlat,
             member<&CounterConfigUi::save>()},
            {kNoId, K::PushButton, "Save As Default", 140, 131, 63, 16, kFlat,
             member<&CounterConfigUi::saveAsDefault>()},
            {kNoId, K::PushButton, "Close", 272, 131, 50, 16, kFlat,
             member<&CounterConfigUi::close>()},
            {kNoId, K::GroupBox, " Counter ", 7, 7, 315, 70, kStyleNone,
             member<&CounterConfigUi::counterGroup>()},
            {kNoId, K::Label, "Area:", 39, 94, 20, 13},
            {kNoId, K::Label, "Effeciency:", 183, 94, 40, 13},
            {kNoId, K::GroupBox, "Detector", 7, 81, 315, 30},
            {kNoId, K::Label, "Description:", 12, 49, 39, 8},
            {kNoId, K::Label, "Name:", 12, 19, 34, 8},
        }};
}

// The assay configuration dialog.
DialogTemplate assayConfigDialog() {
    return {
        kDialogAssayConfig,
        "Assay Configuration",
        "MS Sans Serif",
        8,
        306,
        177,
        0,
        kFixedDialog,
        {
            {kNoId, K::Edit, "", 12, 9, 286, 12, kBorderedEdit, member<&AssayConfigUi::name>()},
            {kNoId, K::Edit, "", 48, 53, 35, 12, kBorderedDigits,
             member<&AssayConfigUi::dwellHours>()},
            {kNoId, K::Edit, "", 132, 53, 35, 12, kBorderedDigits,
             member<&AssayConfigUi::dwellMinutes>()},
            {kNoId, K::Edit, "", 216, 53, 35, 12, kBorderedDigits,
             member<&AssayConfigUi::dwellSeconds>()},
            {kNoId, K::Edit, "", 48, 90, 35, 12, kBorderedDigits,
             member<&AssayConfigUi::totalHours>()},
            {kNoId, K::Edit, "", 132, 90, 35, 12, kBorderedDigits,
             member<&AssayConfigUi::totalMinutes>()},
            {kNoId, K::Edit, "", 216, 90, 35, 12, kBorderedDigits,
             member<&AssayConfigUi::totalSeconds>()},
            {kNoId, K::Edit, "", 11, 130, 83, 12, kBorderedEdit,
             member<&AssayConfigUi::sampleArea>()},
            {kNoId, K::Edit, "", 148, 130, 49, 12, kBorderedEdit,
             member<&AssayConfigUi::backgroundHours>()},
            {kNoId, K::Edit, "", 232, 130, 49, 12, kBorderedEdit,
             member<&AssayConfigUi::backgroundRate>()},
            {kNoId, K::PushButton, "Load", 5, 155, 59, 16, kFlat, member<&AssayConfigUi::load>()},
            {kNoId, K::PushButton, "Save", 67, 155, 59, 16, kFlat, member<&AssayConfigUi::save>()},
            {kNoId, K::PushButton, "Save as Default", 129, 155, 59, 16, kFlat | kStyleMultiline,
             member<&AssayConfigUi::saveAsDefault>()},
            {kNoId, K::PushButton, "Close", 249, 155, 50, 16, kFlat,
             member<&AssayConfigUi::close>()},
            {kNoId, K::GroupBox, "Assay Run Time", 3, 30, 298, 90},
            {kNoId, K::Label, "Hours:", 17, 54, 27, 10, kStyleRightAlign},
            {kNoId, K::Label, "Minutes:", 102, 54, 27, 10, kStyleRightAlign},
            {kNoId, K::Label, "Seconds:", 181, 54, 31, 10, kStyleRightAlign},
            {kNoId, K::GroupBox, "Dwell Time", 6, 41, 288, 35},
            {kNoId, K::GroupBox, "Total Time", 6, 78, 288, 36},
            {kNoId, K::Label, "Hours:", 21, 91, 23, 10, kStyleRightAlign},
            {kNoId, K::Label, "Minutes:", 102, 91, 27, 10, kStyleRightAlign},
            {kNoId, K::Label, "Seconds:", 181, 91, 31, 10, kStyleRightAlign},
            {kNoId, K::GroupBox, "Assay Name:", 3, 0, 298, 27},
            {kNoId, K::GroupBox, "Sample Area (square cm)", 3, 120, 99, 29},
            {kNoId, K::GroupBox, "Background", 108, 120, 193, 29},
            {kNoId, K::Label, "Time (h):", 112, 132, 32, 10, kStyleRightAlign},
            {kNoId, K::Label, "Rate:", 207, 133, 19, 10, kStyleRightAlign},
        }};
}

// The run configuration dialog.
DialogTemplate runConfigDialog() {
    return {
        kDialogRunConfig,
        "Dialog",
        "MS Sans Serif",
        8,
        348,
        151,
        0,
        kFixedDialog,
        {
            {kNoId, K::PushButton, "Cancel", 288, 128, 50, 16, kFlat,
             member<&RunConfigUi::cancel>()},
            {kNoId, K::Label, "Counter Enumeration ID", 7, 6, 80, 16},
            {kNoId, K::Edit, "", 104, 6, 50, 14, kBorderedEdit | kStyleReadOnly,
             member<&RunConfigUi::counterNumber>()},
            {kNoId, K::GroupBox, "Counter Configuration", 7, 23, 335, 38},
            {kNoId, K::GroupBox, "Assay Configuration", 7, 72, 335, 38},
            {kNoId, K::PushButton, "START", 7, 117, 272, 27, kFlat, member<&RunConfigUi::start>()},
            {kNoId, K::Label, "Name:", 14, 34, 33, 10},
            {kNoId, K::Label, "File:", 14, 47, 29, 11},
            {kNoId, K::Edit, "", 78, 32, 201, 12, kBorderedEdit,
             member<&RunConfigUi::counterName>()},
            {kNoId, K::Edit, "", 78, 45, 201, 12, kBorderedEdit,
             member<&RunConfigUi::counterFile>()},
            {kNoId, K::PushButton, "Open", 288, 32, 50, 25, kFlat,
             member<&RunConfigUi::openCounter>()},
            {kNoId, K::Label, "Name:", 14, 82, 33, 10},
            {kNoId, K::Label, "File:", 14, 95, 29, 11},
            {kNoId, K::Edit, "", 78, 82, 201, 12, kBorderedEdit, member<&RunConfigUi::assayName>()},
            {kNoId, K::Edit, "", 78, 95, 201, 12, kBorderedEdit, member<&RunConfigUi::assayFile>()},
            {kNoId, K::PushButton, "Open", 288, 82, 50, 25, kFlat,
             member<&RunConfigUi::openAssay>()},
        }};
}

const std::vector<DialogTemplate>& allTemplates() {
    static const std::vector<DialogTemplate> templates = {
        aboutDialog(), mainDialog(), counterConfigDialog(), assayConfigDialog(), runConfigDialog()};
    return templates;
}

} // namespace

const DialogTemplate* findDialogTemplate(int id) {
    for (const DialogTemplate& t : allTemplates())
        if (t.id == id)
            return &t;
    return nullptr;
}

} // namespace nivra::res

namespace nivra::res {

const DialogTemplate& aboutTemplate() {
    return *findDialogTemplate(kDialogAbout);
}

const DialogTemplate& counterConfigTemplate() {
    return *findDialogTemplate(kDialogCounterConfig);
}

const DialogTemplate& assayConfigTemplate() {
    return *findDialogTemplate(kDialogAssayConfig);
}

const DialogTemplate& runConfigTemplate() {
    return *findDialogTemplate(kDialogRunConfig);
}

} // namespace nivra::res
