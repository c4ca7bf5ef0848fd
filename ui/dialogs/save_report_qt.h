#pragma once

#include "base/outcome.h"

#include <QString>
#include <string>

// How the configuration dialogs tell the operator the outcome of a save. A save that did not
// reach the disk (missing folder, read-only file, full disk) is never reported with the success
// text: the operator is told which file was not saved, in the same words everywhere.
namespace nivra::ui {

class Prompts;

// "File not saved: <path>", and on a line of its own why, when the reason is known ("No space
// left on device").
QString fileNotSavedMessage(const QString& path, const QString& reason = {});

// Shows successText when the file was written, otherwise fileNotSavedMessage(path, the
// outcome's reason); both in a message box with an OK button.
void reportSave(Prompts& prompts, const nivra::Outcome& written, const QString& successText,
                const std::string& path);

} // namespace nivra::ui
