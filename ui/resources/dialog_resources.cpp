#include "ui/resources/dialog_template.h"
#include "ui/resources/resource_ids.h"

namespace nivra::res {

namespace {

using K = ControlKind;

constexpr std::uint32_t kFlat = kStyleFlat;
constexpr std::uint32_t kBorderedEdit = kStyleStaticEdge;
constexpr std::uint32_t kBorderedDigits = kStyleStaticEdge | kStyleDigitsOnly;
constexpr std::uint32_t kFixedDialog = kDialogCaption | kDialogSystemMenu | kDialogModalFrame;

// The About box.
DialogTemplate AboutDialog() {
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
                {1078, K::Label, "version info", 40, 10, 119, 8, kStyleNoPrefix},
                {kNoId, K::Label, "Alpha counting with up to four counters", 40, 25, 119, 8},
                {kIdOk, K::PushButton, "OK", 177, 7, 50, 16, kStyleDefaultButton},
            }};
}

// The main window.
DialogTemplate MainDialog() {
    return {kDialogMain,
            "Nivra-USB- v3.04",
            "Microsoft Sans Serif",
            8,
            647,
            383,
            kMenuMain,
            kFixedDialog | kDialogMinimizeBox | kDialogAppWindow | kDialogStaticEdge,
            {
                {kChartControl, K::Chart, "", 2, 29, 455, 314},
                {kNoId, K::GroupBox, "View Control", 2, 344, 455, 37},
                {1042, K::Label, "ACTIVE: VIEWER", 3, 3, 100, 10},
                {1045, K::ProgressBar, "", 3, 14, 266, 7, kStyleSmooth | kStyleBorder},
                {kRangeSliderControl, K::RangeSlider, "Custom1", 54, 353, 262, 20},
                {1049, K::ListBox, "", 561, 29, 41, 240, kStyleVScroll | kStyleStaticEdge},
                {1050, K::ListBox, "", 510, 35, 46, 181, kStyleVScroll | kStyleNoSelection},
                {1051, K::ListBox, "", 604, 29, 41, 240, kStyleVScroll | kStyleStaticEdge},
                {1053, K::PushButton, "Data Dump", 561, 271, 41, 12, kFlat},
                {1054, K::PushButton, "ROI Dump", 604, 271, 41, 12, kFlat},
                {kNoId, K::GroupBox, "Statistics", 459, 25, 100, 207, kStyleCentreTitle},
                {1055, K::PushButton, "All Data", 463, 219, 45, 10, kFlat},
                {1056, K::PushButton, "ROI", 511, 219, 45, 10, kFlat},
                {1060, K::ListBox, "", 459, 285, 186, 78, kStyleVScroll | kStyleStaticEdge},
                {1059, K::Edit, "", 459, 366, 128, 15, kBorderedEdit},
                {1061, K::PushButton, "Add", 590, 366, 26, 15, kFlat},
                {1043, K::Label, "IDC_STATIC_COUNTER_STATUS", 110, 3, 108, 10},
                {1034, K::Edit, "", 465, 265, 30, 12, kBorderedDigits},
                {1062, K::PushButton, "Delete", 501, 265, 52, 12, kFlat | kStyleMultiline},
                {1063, K::PushButton, "Del", 619, 366, 26, 15, kFlat},
                {1064, K::CheckBox, "Check1", 274, 1, 10, 8, kFlat | kStyleAutoCheck},
                {1065, K::Label, "Counts Last Sec: 0", 552, 0, 93, 8},
                {1066, K::Label, "Counts Cur Dwell: 0", 552, 9, 93, 8},
                {1067, K::Label, "File:", 2, 21, 478, 8},
                {1068, K::PushButton, "Disable Screen Updates", 459, 236, 100, 15,
                 kFlat | kStyleMultiline},
                {1052, K::ListBox, "", 463, 35, 46, 181, kStyleVScroll | kStyleNoSelection},
                {1069, K::Label, "End Time:", 366, 1, 148, 11},
                {1070, K::Label, "Time Left:", 366, 13, 148, 11},
                {1071, K::PushButton, "<", 5, 353, 22, 20, kFlat},
                {1072, K::PushButton, ">", 28, 353, 22, 20, kFlat},
                {1073, K::PushButton, "<", 319, 353, 22, 20, kFlat},
                {1074, K::PushButton, ">", 342, 353, 22, 20, kFlat},
                {1075, K::PushButton, "Set ROI", 370, 353, 22, 20, kFlat | kStyleMultiline},
                {1076, K::Edit, "", 425, 350, 28, 12, kBorderedDigits},
                {1077, K::Edit, "", 425, 364, 28, 12, kBorderedDigits},
                {kNoId, K::GroupBox, "Delete Point", 459, 254, 100, 29},
                {kNoId, K::Label, "ROI Min", 395, 353, 27, 10, kStyleRightAlign},
                {kNoId, K::Label, "ROI Max", 392, 365, 30, 10, kStyleRightAlign},
            }};
}

// The counter configuration dialog.
DialogTemplate CounterConfigDialog() {
    return {kDialogCounterConfig,
            "Counter Configuration",
            "MS Sans Serif",
            8,
            329,
            154,
            0,
            kFixedDialog,
            {
                {1036, K::Edit, "", 12, 28, 304, 13, kBorderedEdit},
                {1010, K::Edit, "", 12, 58, 304, 13, kBorderedEdit | kStyleMultiline},
                {1017, K::Edit, "", 63, 92, 64, 13, kBorderedEdit},
                {1019, K::Edit, "", 223, 92, 60, 13, kBorderedEdit},
                {1031, K::PushButton, "Load", 7, 131, 63, 16, kFlat},
                {1021, K::PushButton, "Save", 74, 131, 63, 16, kFlat},
                {1022, K::PushButton, "Save As Default", 140, 131, 63, 16, kFlat},
                {kIdCancel, K::PushButton, "Close", 272, 131, 50, 16, kFlat},
                {1077, K::GroupBox, " Counter ", 7, 7, 315, 70},
                {kNoId, K::Label, "Area:", 39, 94, 20, 13},
                {kNoId, K::Label, "Effeciency:", 183, 94, 40, 13},
                {kNoId, K::GroupBox, "Detector", 7, 81, 315, 30},
                {kNoId, K::Label, "Description:", 12, 49, 39, 8},
                {kNoId, K::Label, "Name:", 12, 19, 34, 8},
            }};
}

// The assay configuration dialog.
DialogTemplate AssayConfigDialog() {
    return {kDialogAssayConfig,
            "Assay Configuration",
            "MS Sans Serif",
            8,
            306,
            177,
            0,
            kFixedDialog,
            {
                {1023, K::Edit, "", 12, 9, 286, 12, kBorderedEdit},
                {1011, K::Edit, "", 48, 53, 35, 12, kBorderedDigits},
                {1012, K::Edit, "", 132, 53, 35, 12, kBorderedDigits},
                {1013, K::Edit, "", 216, 53, 35, 12, kBorderedDigits},
                {1016, K::Edit, "", 48, 90, 35, 12, kBorderedDigits},
                {1017, K::Edit, "", 132, 90, 35, 12, kBorderedDigits},
                {1018, K::Edit, "", 216, 90, 35, 12, kBorderedDigits},
                {1022, K::Edit, "", 11, 130, 83, 12, kBorderedEdit},
                {1080, K::Edit, "", 148, 130, 49, 12, kBorderedEdit},
                {1079, K::Edit, "", 232, 130, 49, 12, kBorderedEdit},
                {1014, K::PushButton, "Load", 5, 155, 59, 16, kFlat},
                {1015, K::PushButton, "Save", 67, 155, 59, 16, kFlat},
                {1019, K::PushButton, "Save as Default", 129, 155, 59, 16, kFlat | kStyleMultiline},
                {kIdCancel, K::PushButton, "Close", 249, 155, 50, 16, kFlat},
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
DialogTemplate RunConfigDialog() {
    return {kDialogRunConfig,
            "Dialog",
            "MS Sans Serif",
            8,
            348,
            151,
            0,
            kFixedDialog,
            {
                {kIdCancel, K::PushButton, "Cancel", 288, 128, 50, 16, kFlat},
                {kNoId, K::Label, "Counter Enumeration ID", 7, 6, 80, 16},
                {1030, K::Edit, "", 104, 6, 50, 14, kBorderedEdit | kStyleReadOnly},
                {kNoId, K::GroupBox, "Counter Configuration", 7, 23, 335, 38},
                {kNoId, K::GroupBox, "Assay Configuration", 7, 72, 335, 38},
                {1026, K::PushButton, "START", 7, 117, 272, 27, kFlat},
                {kNoId, K::Label, "Name:", 14, 34, 33, 10},
                {kNoId, K::Label, "File:", 14, 47, 29, 11},
                {1024, K::Edit, "", 78, 32, 201, 12, kBorderedEdit},
                {1029, K::Edit, "", 78, 45, 201, 12, kBorderedEdit},
                {1025, K::PushButton, "Open", 288, 32, 50, 25, kFlat},
                {kNoId, K::Label, "Name:", 14, 82, 33, 10},
                {kNoId, K::Label, "File:", 14, 95, 29, 11},
                {1027, K::Edit, "", 78, 82, 201, 12, kBorderedEdit},
                {1018, K::Edit, "", 78, 95, 201, 12, kBorderedEdit},
                {1028, K::PushButton, "Open", 288, 82, 50, 25, kFlat},
            }};
}

const std::vector<DialogTemplate>& AllTemplates() {
    static const std::vector<DialogTemplate> templates = {
        AboutDialog(), MainDialog(), CounterConfigDialog(), AssayConfigDialog(), RunConfigDialog()};
    return templates;
}

} // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& t : AllTemplates())
        if (t.id == id)
            return &t;
    return nullptr;
}

} // namespace nivra::res
