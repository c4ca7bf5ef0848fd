#include "render/gui_session.h"

#include <QGuiApplication>
#include <cstdio>

namespace nivra::render {

namespace {

QtMessageHandler previousHandler = nullptr;

// Qt's note that XDG_RUNTIME_DIR is not set (a remote login as root, a cron job) says nothing
// about the report; every other message goes on as before.
void quietRuntimeDirNote(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: ")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

GuiSession::GuiSession() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(quietRuntimeDirNote);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

GuiSession::~GuiSession() {
    app_.reset();
    if (previousHandler) {
        qInstallMessageHandler(previousHandler);
        previousHandler = nullptr;
    }
}

} // namespace nivra::render
