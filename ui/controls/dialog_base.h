#pragma once

#include "ui/controls/data_exchange.h"

#include <QColor>
#include <QDialog>
#include <functional>
#include <map>
#include <vector>

class CReturnEscapeGuard;
class CWindowMenu;

// The base of every dialog of the program, the main window included. It builds its controls
// (and menu, if the template names one) from a dialog template, addresses them by the numbers
// its controls header names (ui/resources/*_controls.h), dispatches commands and control
// notifications by number, runs the data exchange and keeps Return and Escape away from the
// dialog.
//
//   class CMyDlg : public CDialogBase {
//   public:
//       CMyDlg() : CDialogBase(nivra::res::kDialogAssayConfig) {
//           OnCommand(assay_config::kLoadButton, [this] { Load(); });
//       }
//   protected:
//       void DoDataExchange(CDataExchange& dx) override {
//           dx.Text(assay_config::kSampleAreaEdit, sampleArea_); ...
//       }
//       bool OnInitDialog() override { CDialogBase::OnInitDialog(); ...; return true; }
//   };
//
// Commands come from push buttons and check boxes (when clicked) and from DispatchCommand; menu
// items are actions that their handlers connect to (see CWindowMenu). Command kIdOk without a
// handler runs OnOK, command kIdCancel without a handler OnCancel; the close box and reject() run
// OnCancel as well. exec() returns QDialog::Accepted after OnOK's accept() and QDialog::Rejected
// after a cancel.
class CDialogBase : public QDialog {
    Q_OBJECT
public:
    // Builds dialog template templateId (see resources/dialog_resources.cpp): caption, font,
    // fixed client size in dialog units converted with the font's base units, controls, menu.
    explicit CDialogBase(int templateId, QWidget* parent = nullptr);
    ~CDialogBase() override;

    int TemplateId() const { return templateId_; }

    // The control with the given number, or nullptr.
    QWidget* Control(int id) const;
    template <class T> T* ControlAs(int id) const { return qobject_cast<T*>(Control(id)); }
    // The text of a control (edit, label, button, group box) and setting it.
    QString ItemText(int id) const;
    void SetItemText(int id, const QString& text);
    // Enables or disables a control.
    void EnableItem(int id, bool enabled);

    // The window menu, or nullptr when the template has none.
    CWindowMenu* Menu() const { return menu_; }

    // The dialog's client area (below the menu), where the controls live.
    QWidget* Client() const { return client_; }

    // ---- message map ----
    using Handler = std::function<void()>;
    void OnCommand(int id, Handler handler);
    // One handler for the commands first to last; it receives the command number.
    void OnCommandRange(int first, int last, std::function<void(int)> handler);
    // Runs the handler of a command. Returns false when nothing handles it.
    bool DispatchCommand(int id);

    enum class Notification {
        Changed,          // an edit's text changed (also when the program sets it)
        SelectionChanged, // a list box's current item changed
        DoubleClicked,    // a list box item was double-clicked
    };
    void OnNotify(int id, Notification code, Handler handler);

    // ---- data exchange ----
    // Reads the controls into the values (true) or shows the values in the controls (false).
    // Returns false when a field could not be read; see CDataExchange.
    bool UpdateData(bool saveAndValidate = true);

    // Runs OnInitDialog once; called before the dialog is first shown. Tests may call it to set
    // up a dialog without showing it.
    void InitDialog();

    // Fills the dialog with a colour, which edits and list boxes take as their background too;
    // labels, check boxes and group boxes are transparent on it.
    void SetBackgroundColor(const QColor& color);

    // Whether Return and Escape are swallowed (default true). The About box turns this off.
    void SetReturnEscapeGuard(bool on);

    // Ends the modal run with the given result.
    void EndDialog(int result) { done(result); }

public slots:
    void reject() override;

protected:
    virtual void DoDataExchange(CDataExchange& dx);
    // Default: shows the values in the controls. Returning true gives the focus to the first
    // control that takes it.
    virtual bool OnInitDialog();
    // Default for command kIdOk: reads the controls; on success ends the dialog with Accepted.
    virtual void OnOK();
    // Default for command kIdCancel, the close box and Escape-less cancels: ends with Rejected.
    virtual void OnCancel();

    void showEvent(QShowEvent* event) override;

private:
    void ConnectNotifications(int id, QWidget* widget);

    int templateId_;
    QWidget* client_ = nullptr;
    CWindowMenu* menu_ = nullptr;
    CReturnEscapeGuard* guard_ = nullptr;
    bool initialised_ = false;
    std::map<int, QWidget*> controls_;
    std::vector<QWidget*> tabOrder_;
    std::map<int, Handler> commands_;
    struct Range {
        int first, last;
        std::function<void(int)> handler;
    };
    std::vector<Range> commandRanges_;
    std::map<std::pair<int, Notification>, Handler> notifications_;
};
