#include "support/temp_dir.h"
#include "ui/main_window/app_profile.h"

#include <QCoreApplication>
#include <QSettings>
#include <gtest/gtest.h>

using nivra::ui::writeProfileTestEntry;

TEST(AppProfile, TheTestValueLandsInTheUsersSettings) {
    nivra::test::TempDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(dir.path()));
    ASSERT_TRUE(writeProfileTestEntry());
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvane"),
                       QCoreApplication::applicationName());
    EXPECT_EQ(settings.value(QStringLiteral("NivraUSB/testentry")).toString(),
              QStringLiteral("testvalue"));
    EXPECT_TRUE(nivra::test::fileExists(
        dir.path() + "/Corvane/" + QCoreApplication::applicationName().toStdString() + ".conf"));
}
