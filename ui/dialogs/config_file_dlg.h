#pragma once

#include "base/outcome.h"
#include "ui/controls/prompts.h"
#include "ui/controls/template_dialog.h"

#include <QString>
#include <string>

class QPushButton;

namespace nivra {
struct AssayConfig;
struct CounterConfig;
} // namespace nivra

namespace nivra::ui {

// Why a record may not be saved to file, as the operator's message naming the file and the
// field, or "" when it may: the values a run checks before it starts, with now as its start.
std::string saveProblem(const AssayConfig& config, const std::string& file);
std::string saveProblem(const CounterConfig& config, const std::string& file);

// What the assay and the counter configuration dialogs share: a configuration record shown in
// edits, and the three buttons Load (any file), Save (any file) and Save As Default (the
// record's own file, after a confirmation). A save that does not reach the disk is reported with
// the file's name, never with the success text. Values no run could start with (a dwell of 0, an
// area of 0, ...) are not saved: the dialog says which file and field, and writes nothing.
class ConfigFileDlg : public TemplateDialog {
    Q_OBJECT
public:
    // The operator's texts of a dialog.
    struct Texts {
        QString loaded;
        QString saved;
        QString savedAsDefault;
    };
    // The dialog's buttons: Load, Save, Save As Default, and Close, which ends the dialog.
    struct Buttons {
        QPushButton* load;
        QPushButton* save;
        QPushButton* saveAsDefault;
        QPushButton* close;
    };

protected:
    // Asks the operator through `prompts`.
    ConfigFileDlg(Prompts& prompts, const nivra::res::DialogTemplate& dialog, QWidget* parent,
                  nivra::ui::FileDialogRequest fileRequest, Texts texts);

    // Connects the buttons; the dialog calls it once its ui is bound.
    void connectButtons(const Buttons& buttons);

    // The record behind the dialog: read a file into it, write it (an empty path writes its own
    // file; 0 when nothing reached the disk), and show it in or read it from the edits.
    // Reads the record from path; returns why it could not be read, or "".
    virtual std::string readRecord(const std::string& path) = 0;
    virtual nivra::Outcome writeRecord(const std::string& path) = 0;
    virtual std::string ownFile() const = 0;
    virtual std::string recordProblem(const std::string& file) const = 0;
    virtual void showRecord() = 0;
    // Reads the edits into the record in the dialog's order. A field that does not convert is
    // reported and stops the reading there: it and the later fields keep the record's values,
    // and the answer is false.
    virtual bool readFields() = 0;

    Prompts& prompts_;

private:
    void onLoad();
    void onSave();
    void onSaveAsDefault();

    nivra::ui::FileDialogRequest fileRequest_;
    Texts texts_;
};

// A configuration dialog over one record of type Config (AssayConfig, CounterConfig): Load reads
// a file into it, Save writes it to a file, Save As Default writes its own file.
template <typename Config> class ConfigRecordDlg : public ConfigFileDlg {
protected:
    ConfigRecordDlg(Prompts& prompts, const nivra::res::DialogTemplate& dialog, QWidget* parent,
                    nivra::ui::FileDialogRequest fileRequest, Texts texts, Config config)
        : ConfigFileDlg(prompts, dialog, parent, std::move(fileRequest), std::move(texts)),
          config_(std::move(config)) {}

    Config config_;

private:
    std::string readRecord(const std::string& path) override { return config_.read(path); }
    nivra::Outcome writeRecord(const std::string& path) override { return config_.write(path); }
    std::string ownFile() const override { return config_.filePath; }
    std::string recordProblem(const std::string& file) const override {
        return nivra::ui::saveProblem(config_, file);
    }
};

} // namespace nivra::ui
