#include "ui/controls/dialog_base.h"
#include "ui/controls/edit_with_border.h"
#include "ui/controls/list_box_with_border.h"
#include "ui/controls/range_slider.h"
#include "ui/main_window/chart_widget.h"
#include "ui/resources/dialog_builder.h"
#include "ui/resources/dialog_template.h"
#include "ui/resources/dialog_units.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_resource.h"
#include "ui/resources/resource_ids.h"
#include "ui/resources/string_resources.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace res = nivra::res;

namespace {

TEST(DialogUnits, EdgesAreConvertedWithRoundingSoNeighboursStayTouching) {
    const res::DialogBaseUnits units{6, 13};
    // x: 455 * 6 / 4 = 682.5 -> 683; y: 29 * 13 / 8 = 47.125 -> 47
    EXPECT_EQ(res::MapDialogRect(units, 0, 0, 455, 29), QRect(0, 0, 683, 47));
    EXPECT_EQ(res::MapDialogRect(units, 2, 29, 455, 314), QRect(3, 47, 683, 510));
    const QRect left = res::MapDialogRect(units, 5, 353, 22, 20);
    const QRect right = res::MapDialogRect(units, 27, 353, 22, 20);
    EXPECT_EQ(left.left() + left.width(), right.left());
    EXPECT_EQ(res::MulDiv(-3, 6, 4), -5); // -4.5 rounds away from zero
    EXPECT_EQ(res::MulDiv(1, 1, 0), 0);
}

TEST(DialogUnits, BaseUnitsComeFromTheFontsAverageCharacter) {
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(10);
    QFont large = small;
    large.setPixelSize(20);
    const res::DialogBaseUnits a = res::BaseUnitsForFont(small);
    const res::DialogBaseUnits b = res::BaseUnitsForFont(large);
    EXPECT_GT(a.width, 0);
    EXPECT_GT(b.width, a.width);
    EXPECT_GT(b.height, a.height);
}

// Every control of every template exists in its built dialog with its number, text and place.
TEST(DialogBuilder, EveryControlKeepsItsNumberTextAndConvertedPlace) {
    for (int id : {res::kDialogAbout, res::kDialogMain, res::kDialogCounterConfig,
                   res::kDialogAssayConfig, res::kDialogRunConfig}) {
        SCOPED_TRACE(id);
        CDialogBase dialog(id);
        const res::DialogTemplate* t = res::FindDialogTemplate(id);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(t->caption));
        const res::DialogBaseUnits units = res::BaseUnitsForFont(dialog.font());
        const QRect client = res::MapDialogRect(units, 0, 0, t->width, t->height);
        EXPECT_EQ(dialog.Client()->size(), client.size());
        for (const res::ControlTemplate& c : t->controls) {
            if (c.id == res::kNoId || c.kind == res::ControlKind::Icon)
                continue;
            SCOPED_TRACE(c.id);
            QWidget* w = dialog.Control(c.id);
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(res::ControlId(w), c.id);
            EXPECT_EQ(w->geometry(), res::MapDialogRect(units, c.x, c.y, c.width, c.height));
            if (c.kind == res::ControlKind::PushButton || c.kind == res::ControlKind::Label ||
                c.kind == res::ControlKind::CheckBox || c.kind == res::ControlKind::GroupBox) {
                EXPECT_EQ(dialog.ItemText(c.id), QString::fromUtf8(c.text));
            }
        }
    }
}

TEST(DialogBuilder, MainWindowControlsAreOfTheirKinds) {
    CDialogBase main(res::kDialogMain);
    EXPECT_NE(main.ControlAs<CChartWidget>(1000), nullptr);
    EXPECT_NE(main.ControlAs<CRangeSlider>(1046), nullptr);
    EXPECT_NE(main.ControlAs<QProgressBar>(1045), nullptr);
    EXPECT_NE(main.ControlAs<QCheckBox>(1064), nullptr);
    for (int id : {1049, 1051, 1060})
        EXPECT_NE(main.ControlAs<CListBoxWithBorder>(id), nullptr) << id;
    for (int id : {1050, 1052}) {
        EXPECT_EQ(main.ControlAs<CListBoxWithBorder>(id), nullptr) << id;
        ASSERT_NE(main.ControlAs<QListWidget>(id), nullptr) << id;
        EXPECT_EQ(main.ControlAs<QListWidget>(id)->selectionMode(), QAbstractItemView::NoSelection);
    }
    for (int id : {1059, 1034, 1076, 1077})
        EXPECT_NE(main.ControlAs<CEditWithBorder>(id), nullptr) << id;
    // Digits-only edits refuse typed letters.
    auto* roiMin = main.ControlAs<QLineEdit>(1076);
    roiMin->insert(QStringLiteral("1a"));
    EXPECT_EQ(roiMin->text(), QString());
    roiMin->insert(QStringLiteral("12"));
    EXPECT_EQ(roiMin->text(), QStringLiteral("12"));
    EXPECT_EQ(main.ItemText(1067), QStringLiteral("File:"));
}

TEST(DialogBuilder, DialogEditsAreBorderedAndTheRunDialogsCounterNumberReadOnly) {
    CDialogBase run(res::kDialogRunConfig);
    for (int id : {1024, 1029, 1027, 1018, 1030})
        EXPECT_NE(run.ControlAs<CEditWithBorder>(id), nullptr) << id;
    EXPECT_TRUE(run.ControlAs<QLineEdit>(1030)->isReadOnly());
    CDialogBase assay(res::kDialogAssayConfig);
    for (int id : {1023, 1011, 1012, 1013, 1016, 1017, 1018, 1022, 1079, 1080})
        EXPECT_NE(assay.ControlAs<CEditWithBorder>(id), nullptr) << id;
    CDialogBase counter(res::kDialogCounterConfig);
    for (int id : {1036, 1010, 1017, 1019})
        EXPECT_NE(counter.ControlAs<CEditWithBorder>(id), nullptr) << id;
    EXPECT_NE(counter.ControlAs<QGroupBox>(1077), nullptr);
}

TEST(DialogBuilder, GroupBoxesLieBeneathTheControlsTheyFrame) {
    CDialogBase assay(res::kDialogAssayConfig);
    // The "Dwell Time" group comes after edit 1011 in the template but must not cover it.
    QWidget* edit = assay.Control(1011);
    const QPoint centre = edit->geometry().center();
    EXPECT_EQ(assay.Client()->childAt(centre), edit);
}

TEST(DialogBuilder, MainWindowIsAFixedSizeWindowOnItsBackground) {
    CDialogBase main(res::kDialogMain);
    main.SetBackgroundColor(QColor(254, 254, 254));
    EXPECT_EQ(main.minimumSize(), main.maximumSize());
    EXPECT_EQ(main.Client()->y(), main.Menu()->Bar()->height());
    const QImage image = main.grab().toImage();
    const QPoint empty = main.Client()->mapTo(&main, QPoint(1, 1)); // left of label 1042
    EXPECT_EQ(image.pixelColor(empty), QColor(254, 254, 254));
}

TEST(MainMenu, ItemsCarryTheirCommandsAndMarks) {
    CDialogBase main(res::kDialogMain);
    CWindowMenu* menu = main.Menu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> drops = menu->Bar()->actions();
    QStringList titles;
    for (QAction* a : drops)
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"File", "Active Counter", "Configuration", "Assay Run",
                                   "Statistics Show", "About"}));
    for (int command : {57600, 57601, 57603, 32803, 32793, 32795, 57607, 32774, 32791, 32777, 32778,
                        32779, 32780, 32785, 32786, 32787, 32788, 32790})
        EXPECT_NE(menu->Action(command), nullptr) << command;
    EXPECT_EQ(menu->Action(57607)->text(), QStringLiteral("Print"));
    for (int k = 0; k < res::kStatisticCount; ++k)
        EXPECT_TRUE(menu->IsChecked(res::kCmdFirstStatistic + k));
    EXPECT_EQ(menu->Action(32811)->text(), QStringLiteral("\u00b1 err"));
    EXPECT_EQ(menu->Action(32817)->text(), QStringLiteral("LOD90.0%"));
    EXPECT_FALSE(menu->CheckItem(12345, true));
}

TEST(MainMenu, ChoosingAnItemDispatchesItsCommandAndLeavesTheMarkToTheProgram) {
    CDialogBase main(res::kDialogMain);
    CWindowMenu* menu = main.Menu();
    std::vector<int> chosen;
    main.OnCommandRange(32804, 32819, [&](int command) { chosen.push_back(command); });
    main.OnCommand(32787, [&] { chosen.push_back(32787); });

    menu->Action(32808)->trigger();
    EXPECT_TRUE(menu->IsChecked(32808));
    EXPECT_TRUE(menu->Action(32808)->isChecked()); // not toggled by the choice itself
    menu->CheckItem(32808, false);
    EXPECT_FALSE(menu->Action(32808)->isChecked());
    menu->Action(32808)->trigger();
    EXPECT_FALSE(menu->Action(32808)->isChecked());

    menu->EnableItem(32787, false);
    menu->Action(32787)->trigger(); // grayed: nothing
    EXPECT_FALSE(menu->IsEnabled(32787));
    menu->EnableItem(32787, true);
    menu->Action(32787)->trigger();
    EXPECT_EQ(chosen, (std::vector<int>{32808, 32808, 32787}));
}

TEST(Resources, AboutMenuString) {
    EXPECT_EQ(res::LoadStringResource(res::kStringAboutMenu), QStringLiteral("&About Nivra..."));
    EXPECT_TRUE(res::LoadStringResource(999).isEmpty());
}

} // namespace
