#pragma once

#include <QString>

class QWidget;

// The text a control shows, whatever kind of control it is: an edit's contents, a label's or a
// button's text, a group box's title, a window's caption. Controls without a text read as "" and
// ignore a new one.
namespace nivra::ui {

QString controlText(const QWidget* control);
void setControlText(QWidget* control, const QString& text);

} // namespace nivra::ui
