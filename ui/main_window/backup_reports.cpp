// What the runs report about their backup files, and the backups left over from earlier runs.

#include "base/start_directory.h"
#include "engine/backup_file.h"
#include "ui/controls/narrow_text.h"
#include "ui/controls/prompts.h"
#include "ui/main_window/nivra_dlg.h"

void CNivraDlg::OnBackupKept(const QString& keptPath) {
    nivra::ui::ShowMessage(
        QStringLiteral("The backup of an interrupted run was kept as %1").arg(keptPath));
}

// The first failure of a stretch is told in a message; the slot's status shows it until a save
// works again.
void CNivraDlg::OnBackupSaved(int counter, bool ok, const QString& reason) {
    CounterSlot& slot = slots_[static_cast<std::size_t>(counter)];
    if (ok == slot.backupProblem.empty())
        return;
    const bool firstFailure = slot.backupProblem.empty();
    slot.backupProblem = ok ? std::string() : nivra::ui::ToNarrow(reason);
    if (counter == activeSlot_)
        RefreshStatus();
    if (firstFailure)
        nivra::ui::ShowMessage(
            QStringLiteral("Backup not saved: %1: %2")
                .arg(nivra::ui::FromNarrow(nivra::BackupDataPath(counter)), reason));
}

void CNivraDlg::ShowLeftOverBackups() {
    const std::vector<std::string> names = nivra::leftOverBackups();
    if (names.empty())
        return;
    QStringList list;
    for (const std::string& name : names)
        list << nivra::ui::FromNarrow(name);
    nivra::ui::ShowMessage(
        QStringLiteral("Backups of interrupted runs in %1: %2")
            .arg(nivra::ui::FromNarrow(nivra::backupFolder()), list.join(QStringLiteral(", "))));
}
