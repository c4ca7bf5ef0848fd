#pragma once

#include "prompt_script.h"
#include "ui/controls/prompts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <ostream>

namespace nivra::ui {

// File types as test failures show them: {"DataNivra(*.dax)", "*.dax"}.
inline void printTo(const FileFilter& filter, std::ostream* out) {
    *out << "{\"" << filter.description.toStdString() << "\", \"" << filter.patterns.toStdString()
         << "\"}";
}

} // namespace nivra::ui

namespace nivra::test {

// Scripted prompts for what a test hands them to. A question without a scripted reply fails the
// running test (and gets the safe answer) instead of blocking or aborting.
class ScriptedPrompts : public nivra::test::PromptScript {
public:
    ScriptedPrompts() {
        setFailureHandler([](const QString& problem) { ADD_FAILURE() << problem.toStdString(); });
    }
};

// Sends a key event through the application, so event filters see it as they see real keys.
// Returns whether the event ended up accepted by someone.
inline bool sendKey(QWidget* target, QEvent::Type type, int key,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent event(type, key, modifiers, text);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

inline void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button, buttons,
                      modifiers);
    QApplication::sendEvent(target, &event);
}

} // namespace nivra::test
