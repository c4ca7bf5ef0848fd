#pragma once

#include "engine/assay_run.h"
#include "model/assay_config.h"
#include "model/counter_config.h"
#include "ui/controls/dialog_base.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nivra {
class RunReceiver;
}

// The step before a run: the operator picks the counter configuration (what detector is in the
// counter) and the assay configuration (dwell and total time, sample area, background) for one
// counter and presses START. The dialog proposes the counter's own configuration file
// (counter_config/counter<N>.ccx below the start directory) when it exists; an assay
// configuration is opened for every run.
//
// START creates the run and its record (with copies of both configurations), starts the run and
// closes with Accepted. The run and the record then belong to the caller: RunThread() names the
// run, RunThread()->Data() the record. Any other close (Cancel, the close box) starts nothing.
// Return and Escape do nothing here.
class CAssayRunConfigDlg : public CDialogBase {
    Q_OBJECT
public:
    // receiver gets the run's messages (the main window); environment gives the run its clock
    // and counters.
    CAssayRunConfigDlg(int counterNumber, nivra::RunReceiver* receiver,
                       const RunEnvironment& environment = {}, QWidget* parent = nullptr);
    ~CAssayRunConfigDlg() override;

    // The run START created, or nullptr.
    CAssayRun* RunThread() const { return runThread_; }

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
    CAssayRun* runThread_ = nullptr;
    std::int32_t counterNumber_;
    nivra::RunReceiver* receiver_;
    RunEnvironment environment_;
};
