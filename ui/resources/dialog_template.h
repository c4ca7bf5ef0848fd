#pragma once

#include <cstdint>
#include <typeinfo>
#include <vector>

class QWidget;

// Dialog templates as data: what each dialog holds, where (in dialog units) and with which
// styles. The builder (dialog_builder.h) turns a template into widgets. A row whose control the
// dialog's code works with names the member of the dialog's ui struct (about_ui.h, ...) that
// the built widget fills, so code and tests reach controls by name.
namespace nivra::res {

// Which member of a dialog's ui struct a control fills: made by member<&SomeUi::field>().
struct ControlBinder {
    const std::type_info* ui = nullptr; // the ui struct the member belongs to
    void (*fill)(void* ui, QWidget* widget) = nullptr;
    explicit operator bool() const { return fill != nullptr; }
};

enum class ControlKind {
    PushButton,
    Label,
    GroupBox,
    Edit,
    ListBox,
    CheckBox,
    ProgressBar,
    Icon,        // the application icon
    RangeSlider, // our two-thumb slider
    Chart,       // our chart control
};

// Styles of a control, as bit flags. Only those that change how a control looks or behaves here.
enum ControlStyle : std::uint32_t {
    kStyleNone = 0,
    kStyleFlat = 1u << 0,          // flat push button / check box
    kStyleDefaultButton = 1u << 1, // the dialog's default push button
    kStyleMultiline = 1u << 2,     // button text may wrap; multi-line edit
    kStyleReadOnly = 1u << 3,      // edit
    kStyleDigitsOnly = 1u << 4,    // edit accepting typed digits only
    kStyleNoSelection = 1u << 5,   // list box whose items cannot be selected
    kStyleVScroll = 1u << 6,       // vertical scroll bar (shown when needed)
    kStyleRightAlign = 1u << 7,    // label text aligned right
    kStyleCentreTitle = 1u << 8,   // group box title centred
    kStyleStaticEdge = 1u << 9,    // one-pixel edge, painted as a black frame by our controls
    kStyleSmooth = 1u << 10,       // smooth progress bar
    kStyleBorder = 1u << 11,       // plain border
    kStyleNoPrefix = 1u << 12,     // label shows '&' literally
    kStyleAutoCheck = 1u << 13,    // check box that toggles itself
};

struct ControlTemplate {
    ControlKind kind;
    const char* text;        // UTF-8
    int x, y, width, height; // dialog units
    std::uint32_t styles = kStyleNone;
    ControlBinder bind = {}; // none for controls the code never reaches
};

// Window styles of a dialog.
enum DialogStyle : std::uint32_t {
    kDialogStyleNone = 0,
    kDialogCaption = 1u << 0,     // caption bar
    kDialogSystemMenu = 1u << 1,  // close box
    kDialogMinimizeBox = 1u << 2, // minimise box
    kDialogModalFrame = 1u << 3,  // fixed-size frame
    kDialogStaticEdge = 1u << 4,  // client edge (main window)
    kDialogAppWindow = 1u << 5,   // shown in the task bar
};

struct DialogTemplate {
    int id;
    const char* caption;
    const char* fontFace;
    int fontPointSize;
    int width, height; // client size in dialog units
    int menuId;        // 0 without a menu
    std::uint32_t styles;
    std::vector<ControlTemplate> controls; // in tab order
};

// The template with the given number, or nullptr.
const DialogTemplate* findDialogTemplate(int id);

// The templates of the dialogs; their rows name the members of AboutUi, CounterConfigUi,
// AssayConfigUi and RunConfigUi.
const DialogTemplate& aboutTemplate();
const DialogTemplate& counterConfigTemplate();
const DialogTemplate& assayConfigTemplate();
const DialogTemplate& runConfigTemplate();
// The main window's template; its rows name the members of MainWindowUi.
const DialogTemplate& mainWindowTemplate();

} // namespace nivra::res
