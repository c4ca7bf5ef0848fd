#pragma once

#include "model/assay_config.h"
#include "model/counter_config.h"
#include "ui/controls/dialog_base.h"

#include <cstdint>
#include <optional>
#include <string>

// The step before a run: the operator picks the counter configuration (what detector is in the
// counter) and the assay configuration (dwell and total time, sample area, background) for one
// counter and presses START. The dialog proposes the counter's own configuration file
// (counter_config/counter<N>.ccx below the start directory) when it exists; an assay
// configuration is opened for every run.
//
// START closes with Accepted once both configurations are open; the caller then starts the run
// with copies of CounterConfiguration() and AssayConfiguration(). Any other close (Cancel, the
// close box) starts nothing. Return and Escape do nothing here.
class CAssayRunConfigDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CAssayRunConfigDlg(int counterNumber, QWidget* parent = nullptr);
    ~CAssayRunConfigDlg() override;

    // The configurations opened; both are set once the dialog closed with Accepted.
    const std::optional<CounterConfig>& CounterConfiguration() const { return counterConfig_; }
    const std::optional<AssayConfig>& AssayConfiguration() const { return assayConfig_; }

    int CounterNumber() const { return counterNumber_; }
    const std::string& CounterName() const { return counterName_; }
    const std::string& CounterFile() const { return counterFile_; }
    const std::string& AssayName() const { return assayName_; }
    const std::string& AssayFile() const { return assayFile_; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void OnOpenCounterConfig();
    void OnOpenAssayConfig();
    void OnStart();

    std::string counterName_;
    std::string counterFile_;
    std::optional<CounterConfig> counterConfig_;
    std::string assayName_;
    std::string assayFile_;
    std::optional<AssayConfig> assayConfig_;
    std::int32_t counterNumber_;
};
