#pragma once

#include "base/start_directory.h"
#include "model/assay_config.h"
#include "model/counter_config.h"
#include "ui/controls/template_dialog.h"
#include "ui/resources/run_config_ui.h"

#include <optional>
#include <string>

namespace nivra::ui {

class Prompts;

// The step before a run: the operator picks the counter configuration (what detector is in the
// counter) and the assay configuration (dwell and total time, sample area, background) for one
// counter and presses START. The dialog proposes the counter's own configuration file
// (counter_config/counter<N>.ccx below the start directory) when it exists; an assay
// configuration is opened for every run.
//
// START closes with Accepted once both configurations are open; the caller then starts the run
// with copies of counterConfiguration() and assayConfiguration(). Any other close (Cancel, the
// close box) starts nothing. Return and Escape do nothing here.
class RunConfigDlg : public TemplateDialog {
    Q_OBJECT
public:
    // Asks the operator through `prompts`; the files the dialog proposes and opens among are
    // below start.
    RunConfigDlg(Prompts& prompts, int counterNumber, const StartDirectory& start,
                 QWidget* parent = nullptr);
    ~RunConfigDlg() override;

    // The configurations opened; both are set once the dialog closed with Accepted.
    const std::optional<CounterConfig>& counterConfiguration() const { return counterConfig_; }
    const std::optional<AssayConfig>& assayConfiguration() const { return assayConfig_; }

    const RunConfigUi& ui() const { return ui_; }

private:
    void onOpenCounterConfig();
    void onOpenAssayConfig();
    void onStart();

    // Opens the counter configuration of path and shows its name and file.
    void openCounterConfig(const std::string& path);

    Prompts& prompts_;
    RunConfigUi ui_;
    const StartDirectory start_;
    std::string counterFile_;
    std::optional<CounterConfig> counterConfig_;
    std::string assayFile_;
    std::optional<AssayConfig> assayConfig_;
};

} // namespace nivra::ui
