#pragma once

#include "ui/controls/data_exchange.h"
#include "ui/resources/control_stretch.h"

#include <QColor>
#include <QDialog>
#include <functional>
#include <map>
#include <vector>

namespace nivra::res {
struct ControlTemplate;
} // namespace nivra::res

namespace nivra::ui {

class ReturnEscapeGuard;
class WindowMenu;

// The base of every dialog of the program, the main window included. It builds its controls
// (and menu, if the template names one) from a dialog template, addresses them by the numbers
// its controls header names (ui/resources/*_controls.h), dispatches commands and control
// notifications by number, runs the data exchange and keeps Return and Escape away from the
// dialog.
//
//   class CMyDlg : public DialogBase {
//   public:
//       CMyDlg() : DialogBase(nivra::res::kDialogAssayConfig) {
//           onCommand(assay_config::kLoadButton, [this] { load(); });
//       }
//   protected:
//       void doDataExchange(DataExchange& dx) override {
//           dx.text(assay_config::kSampleAreaEdit, sampleArea_); ...
//       }
//       bool onInitDialog() override { DialogBase::onInitDialog(); ...; return true; }
//   };
//
// Commands come from push buttons and check boxes (when clicked) and from dispatchCommand; menu
// items are actions that their handlers connect to (see WindowMenu). Command kIdOk without a
// handler runs onOK, command kIdCancel without a handler onCancel; the close box and reject() run
// onCancel as well. exec() returns QDialog::Accepted after onOK's accept() and QDialog::Rejected
// after a cancel.
class DialogBase : public QDialog {
    Q_OBJECT
public:
    // Builds dialog template templateId (see resources/dialog_resources.cpp): caption, font,
    // fixed client size in dialog units converted with the font's base units, controls, menu.
    explicit DialogBase(int templateId, QWidget* parent = nullptr);
    ~DialogBase() override;

    int templateId() const { return templateId_; }

    // The control with the given number, or nullptr.
    QWidget* control(int id) const;
    template <class T> T* controlAs(int id) const { return qobject_cast<T*>(control(id)); }
    // The text of a control (edit, label, button, group box) and setting it.
    QString itemText(int id) const;
    void setItemText(int id, const QString& text);
    // Enables or disables a control.
    void enableItem(int id, bool enabled);

    // The window menu, or nullptr when the template has none.
    WindowMenu* menu() const { return menu_; }

    // The dialog's client area (below the menu), where the controls live.
    QWidget* client() const { return client_; }

    // ---- message map ----
    using Handler = std::function<void()>;
    void onCommand(int id, Handler handler);
    // One handler for the commands first to last; it receives the command number.
    void onCommandRange(int first, int last, std::function<void(int)> handler);
    // Runs the handler of a command. Returns false when nothing handles it.
    bool dispatchCommand(int id);

    enum class Notification {
        Changed,          // an edit's text changed (also when the program sets it)
        SelectionChanged, // a list box's current item changed
        DoubleClicked,    // a list box item was double-clicked
    };
    void onNotify(int id, Notification code, Handler handler);

    // ---- data exchange ----
    // Reads the controls into the values (true) or shows the values in the controls (false).
    // Returns false when a field could not be read; see DataExchange.
    bool updateData(bool saveAndValidate = true);

    // Runs onInitDialog once; called before the dialog is first shown. Tests may call it to set
    // up a dialog without showing it.
    void initDialog();

    // Fills the dialog with a colour, which edits and list boxes take as their background too;
    // labels, check boxes and group boxes are transparent on it.
    void setBackgroundColor(const QColor& color);

    // Whether Return and Escape are swallowed (default true). The About box turns this off.
    void setReturnEscapeGuard(bool on);

    // Ends the modal run with the given result.
    void endDialog(int result) { done(result); }

    // Lets the window grow beyond its template's size, which stays its minimum: each control
    // follows the extra room as `rule` says for its template row (see ControlStretch).
    using StretchRule =
        std::function<nivra::res::ControlStretch(const nivra::res::ControlTemplate&)>;
    void makeResizable(const StretchRule& rule);

public slots:
    void reject() override;

protected:
    virtual void doDataExchange(DataExchange& dx);
    // Default: shows the values in the controls. Returning true gives the focus to the first
    // control that takes it.
    virtual bool onInitDialog();
    // Default for command kIdOk: reads the controls; on success ends the dialog with Accepted.
    virtual void onOK();
    // Default for command kIdCancel, the close box and Escape-less cancels: ends with Rejected.
    virtual void onCancel();

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void connectNotifications(int id, QWidget* widget);

    int templateId_;
    QWidget* client_ = nullptr;
    WindowMenu* menu_ = nullptr;
    ReturnEscapeGuard* guard_ = nullptr;
    bool initialised_ = false;
    std::map<int, QWidget*> controls_;
    // Every control with its template row and its place at the template's size.
    struct Placed {
        const nivra::res::ControlTemplate* source;
        QWidget* widget;
        QRect base;
        nivra::res::ControlStretch stretch;
    };
    std::vector<Placed> placed_;
    QSize clientBase_;
    int menuHeight_ = 0;
    bool resizable_ = false;
    std::vector<QWidget*> tabOrder_;
    std::map<int, Handler> commands_;
    struct Range {
        int first, last;
        std::function<void(int)> handler;
    };
    std::vector<Range> commandRanges_;
    std::map<std::pair<int, Notification>, Handler> notifications_;
};

} // namespace nivra::ui
