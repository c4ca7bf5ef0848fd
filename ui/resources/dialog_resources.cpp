#include "ui/resources/about_ui.h"
#include "ui/resources/assay_config_ui.h"
#include "ui/resources/counter_config_ui.h"
#include "ui/resources/dialog_template.h"
#include "ui/resources/main_window_ui.h"
#include "ui/resources/resource_ids.h"
#include "ui/resources/run_config_ui.h"
#include "ui/resources/ui_binding.h"

#include "ui/controls/range_slider.h"
#include "ui/main_window/chart_widget.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace nivra::res {

namespace {

using K = ControlKind;
using nivra::ui::AboutUi;
using nivra::ui::AssayConfigUi;
using nivra::ui::CounterConfigUi;
using nivra::ui::MainWindowUi;
using nivra::ui::RunConfigUi;

constexpr std::uint32_t kFlat = kStyleFlat;
constexpr std::uint32_t kBorderedEdit = kStyleStaticEdge;
constexpr std::uint32_t kBorderedDigits = kStyleStaticEdge | kStyleDigitsOnly;
constexpr std::uint32_t kFixedDialog = kDialogCaption | kDialogSystemMenu | kDialogModalFrame;

// The About box.
DialogTemplate aboutDialog() {
    return {
        kDialogAbout,
        "About Nivra-USB",
        "MS Shell Dlg",
        8,
        235,
        55,
        0,
        kFixedDialog,
        {
            {K::Icon, "", 11, 17, 20, 20},
            {K::Label, "version info", 40, 10, 119, 8, kStyleNoPrefix, member<&AboutUi::version>()},
            {K::Label, "Alpha counting with up to four counters", 40, 25, 119, 8},
            {K::PushButton, "OK", 177, 7, 50, 16, kStyleDefaultButton, member<&AboutUi::ok>()},
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
            {K::Chart, "", 2, 29, 455, 314, kStyleNone, member<&MainWindowUi::chart>()},
            {K::GroupBox, "View Control", 2, 344, 455, 37},
            {K::Label, "ACTIVE: VIEWER", 3, 3, 100, 10, kStyleNone,
             member<&MainWindowUi::activeLabel>()},
            {K::ProgressBar, "", 3, 14, 266, 7, kStyleSmooth | kStyleBorder,
             member<&MainWindowUi::progress>()},
            {K::RangeSlider, "Custom1", 54, 353, 262, 20, kStyleNone,
             member<&MainWindowUi::slider>()},
            {K::ListBox, "", 561, 29, 41, 240, kStyleVScroll | kStyleStaticEdge,
             member<&MainWindowUi::dataDump>()},
            {K::ListBox, "", 510, 35, 46, 181, kStyleVScroll | kStyleNoSelection,
             member<&MainWindowUi::statsValues>()},
            {K::ListBox, "", 604, 29, 41, 240, kStyleVScroll | kStyleStaticEdge,
             member<&MainWindowUi::roiDump>()},
            {K::PushButton, "Data Dump", 561, 271, 41, 12, kFlat,
             member<&MainWindowUi::dataDumpButton>()},
            {K::PushButton, "ROI Dump", 604, 271, 41, 12, kFlat,
             member<&MainWindowUi::roiDumpButton>()},
            {K::GroupBox, "Statistics", 459, 25, 100, 207, kStyleCentreTitle},
            {K::PushButton, "All Data", 463, 219, 45, 10, kFlat, member<&MainWindowUi::allData>()},
            {K::PushButton, "ROI", 511, 219, 45, 10, kFlat, member<&MainWindowUi::roiStats>()},
            {K::ListBox, "", 459, 285, 186, 78, kStyleVScroll | kStyleStaticEdge,
             member<&MainWindowUi::headerList>()},
            {K::Edit, "", 459, 366, 128, 15, kBorderedEdit, member<&MainWindowUi::headerEdit>()},
            {K::PushButton, "Add", 590, 366, 26, 15, kFlat, member<&MainWindowUi::addHeader>()},
            {K::Label, "IDC_STATIC_COUNTER_STATUS", 110, 3, 108, 10, kStyleNone,
             member<&MainWindowUi::status>()},
            {K::Edit, "", 465, 265, 30, 12, kBorderedDigits,
             member<&MainWindowUi::deletePointEdit>()},
            {K::PushButton, "Delete", 501, 265, 52, 12, kFlat | kStyleMultiline,
             member<&MainWindowUi::deletePoint>()},
            {K::PushButton, "Del", 619, 366, 26, 15, kFlat, member<&MainWindowUi::delHeader>()},
            {K::CheckBox, "Check1", 274, 1, 10, 8, kFlat | kStyleAutoCheck,
             member<&MainWindowUi::heartbeat>()},
            {K::Label, "Counts Last Sec: 0", 552, 0, 93, 8, kStyleNone,
             member<&MainWindowUi::countsLastSecond>()},
            {K::Label, "Counts Cur Dwell: 0", 552, 9, 93, 8, kStyleNone,
             member<&MainWindowUi::countsDwell>()},
            {K::Label, "File:", 2, 21, 478, 8, kStyleNone, member<&MainWindowUi::fileLabel>()},
            {K::PushButton, "Disable Screen Updates", 459, 236, 100, 15, kFlat | kStyleMultiline,
             member<&MainWindowUi::screenUpdates>()},
            {K::ListBox, "", 463, 35, 46, 181, kStyleVScroll | kStyleNoSelection,
             member<&MainWindowUi::statsLabels>()},
            {K::Label, "End Time:", 366, 1, 148, 11, kStyleNone, member<&MainWindowUi::endTime>()},
            {K::Label, "Time Left:", 366, 13, 148, 11, kStyleNone,
             member<&MainWindowUi::timeLeft>()},
            {K::PushButton, "<", 5, 353, 22, 20, kFlat, member<&MainWindowUi::lowDown>()},
            {K::PushButton, ">", 28, 353, 22, 20, kFlat, member<&MainWindowUi::lowUp>()},
            {K::PushButton, "<", 319, 353, 22, 20, kFlat, member<&MainWindowUi::highDown>()},
            {K::PushButton, ">", 342, 353, 22, 20, kFlat, member<&MainWindowUi::highUp>()},
            {K::PushButton, "Set ROI", 370, 353, 22, 20, kFlat | kStyleMultiline,
             member<&MainWindowUi::setRoi>()},
            {K::Edit, "", 425, 350, 28, 12, kBorderedDigits, member<&MainWindowUi::roiMin>()},
            {K::Edit, "", 425, 364, 28, 12, kBorderedDigits, member<&MainWindowUi::roiMax>()},
            {K::GroupBox, "Delete Point", 459, 254, 100, 29},
            {K::Label, "ROI Min", 395, 353, 27, 10, kStyleRightAlign},
            {K::Label, "ROI Max", 392, 365, 30, 10, kStyleRightAlign},
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
            {K::Edit, "", 12, 28, 304, 13, kBorderedEdit, member<&CounterConfigUi::name>()},
            {K::Edit, "", 12, 58, 304, 13, kBorderedEdit | kStyleMultiline,
             member<&CounterConfigUi::description>()},
            {K::Edit, "", 63, 92, 64, 13, kBorderedEdit, member<&CounterConfigUi::detectorArea>()},
            {K::Edit, "", 223, 92, 60, 13, kBorderedEdit,
             member<&CounterConfigUi::detectorEfficiency>()},
            {K::PushButton, "Load", 7, 131, 63, 16, kFlat, member<&CounterConfigUi::load>()},
            {K::PushButton, "Save", 74, 131, 63, 16, kFlat, member<&CounterConfigUi::save>()},
            {K::PushButton, "Save As Default", 140, 131, 63, 16, kFlat,
             member<&CounterConfigUi::saveAsDefault>()},
            {K::PushButton, "Close", 272, 131, 50, 16, kFlat, member<&CounterConfigUi::close>()},
            {K::GroupBox, " Counter ", 7, 7, 315, 70, kStyleNone,
             member<&CounterConfigUi::counterGroup>()},
            {K::Label, "Area:", 39, 94, 20, 13},
            {K::Label, "Effeciency:", 183, 94, 40, 13},
            {K::GroupBox, "Detector", 7, 81, 315, 30},
            {K::Label, "Description:", 12, 49, 39, 8},
            {K::Label, "Name:", 12, 19, 34, 8},
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
            {K::Edit, "", 12, 9, 286, 12, kBorderedEdit, member<&AssayConfigUi::name>()},
            {K::Edit, "", 48, 53, 35, 12, kBorderedDigits, member<&AssayConfigUi::dwellHours>()},
            {K::Edit, "", 132, 53, 35, 12, kBorderedDigits, member<&AssayConfigUi::dwellMinutes>()},
            {K::Edit, "", 216, 53, 35, 12, kBorderedDigits, member<&AssayConfigUi::dwellSeconds>()},
            {K::Edit, "", 48, 90, 35, 12, kBorderedDigits, member<&AssayConfigUi::totalHours>()},
            {K::Edit, "", 132, 90, 35, 12, kBorderedDigits, member<&AssayConfigUi::totalMinutes>()},
            {K::Edit, "", 216, 90, 35, 12, kBorderedDigits, member<&AssayConfigUi::totalSeconds>()},
            {K::Edit, "", 11, 130, 83, 12, kBorderedEdit, member<&AssayConfigUi::sampleArea>()},
            {K::Edit, "", 148, 130, 49, 12, kBorderedEdit,
             member<&AssayConfigUi::backgroundHours>()},
            {K::Edit, "", 232, 130, 49, 12, kBorderedEdit,
             member<&AssayConfigUi::backgroundRate>()},
            {K::PushButton, "Load", 5, 155, 59, 16, kFlat, member<&AssayConfigUi::load>()},
            {K::PushButton, "Save", 67, 155, 59, 16, kFlat, member<&AssayConfigUi::save>()},
            {K::PushButton, "Save as Default", 129, 155, 59, 16, kFlat | kStyleMultiline,
             member<&AssayConfigUi::saveAsDefault>()},
            {K::PushButton, "Close", 249, 155, 50, 16, kFlat, member<&AssayConfigUi::close>()},
            {K::GroupBox, "Assay Run Time", 3, 30, 298, 90},
            {K::Label, "Hours:", 17, 54, 27, 10, kStyleRightAlign},
            {K::Label, "Minutes:", 102, 54, 27, 10, kStyleRightAlign},
            {K::Label, "Seconds:", 181, 54, 31, 10, kStyleRightAlign},
            {K::GroupBox, "Dwell Time", 6, 41, 288, 35},
            {K::GroupBox, "Total Time", 6, 78, 288, 36},
            {K::Label, "Hours:", 21, 91, 23, 10, kStyleRightAlign},
            {K::Label, "Minutes:", 102, 91, 27, 10, kStyleRightAlign},
            {K::Label, "Seconds:", 181, 91, 31, 10, kStyleRightAlign},
            {K::GroupBox, "Assay Name:", 3, 0, 298, 27},
            {K::GroupBox, "Sample Area (square cm)", 3, 120, 99, 29},
            {K::GroupBox, "Background", 108, 120, 193, 29},
            {K::Label, "Time (h):", 112, 132, 32, 10, kStyleRightAlign},
            {K::Label, "Rate:", 207, 133, 19, 10, kStyleRightAlign},
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
            {K::PushButton, "Cancel", 288, 128, 50, 16, kFlat, member<&RunConfigUi::cancel>()},
            {K::Label, "Counter Enumeration ID", 7, 6, 80, 16},
            {K::Edit, "", 104, 6, 50, 14, kBorderedEdit | kStyleReadOnly,
             member<&RunConfigUi::counterNumber>()},
            {K::GroupBox, "Counter Configuration", 7, 23, 335, 38},
            {K::GroupBox, "Assay Configuration", 7, 72, 335, 38},
            {K::PushButton, "START", 7, 117, 272, 27, kFlat, member<&RunConfigUi::start>()},
            {K::Label, "Name:", 14, 34, 33, 10},
            {K::Label, "File:", 14, 47, 29, 11},
            {K::Edit, "", 78, 32, 201, 12, kBorderedEdit, member<&RunConfigUi::counterName>()},
            {K::Edit, "", 78, 45, 201, 12, kBorderedEdit, member<&RunConfigUi::counterFile>()},
            {K::PushButton, "Open", 288, 32, 50, 25, kFlat, member<&RunConfigUi::openCounter>()},
            {K::Label, "Name:", 14, 82, 33, 10},
            {K::Label, "File:", 14, 95, 29, 11},
            {K::Edit, "", 78, 82, 201, 12, kBorderedEdit, member<&RunConfigUi::assayName>()},
            {K::Edit, "", 78, 95, 201, 12, kBorderedEdit, member<&RunConfigUi::assayFile>()},
            {K::PushButton, "Open", 288, 82, 50, 25, kFlat, member<&RunConfigUi::openAssay>()},
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

const DialogTemplate& mainWindowTemplate() {
    return *findDialogTemplate(kDialogMain);
}

const DialogTemplate& runConfigTemplate() {
    return *findDialogTemplate(kDialogRunConfig);
}

} // namespace nivra::res
