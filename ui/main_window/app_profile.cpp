#include "ui/main_window/app_profile.h"

#include <QCoreApplication>
#include <QSettings>

namespace nivra::ui {

bool writeProfileTestEntry() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvane"),
                       QCoreApplication::applicationName());
    settings.setValue(QStringLiteral("NivraUSB/testentry"), QStringLiteral("testvalue"));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace nivra::ui
