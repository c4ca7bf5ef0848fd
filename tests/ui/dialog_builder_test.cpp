#include "ui/controls/control_text.h"
#include "ui/controls/edit_with_border.h"
#include "ui/controls/list_box_with_border.h"
#include "ui/controls/range_slider.h"
#include "ui/controls/template_dialog.h"
#include "ui/main_window/chart_widget.h"
#include "ui/resources/about_ui.h"
#include "ui/resources/assay_config_ui.h"
#include "ui/resources/counter_config_ui.h"
#include "ui/resources/dialog_builder.h"
#include "ui/resources/dialog_template.h"
#include "ui/resources/dialog_units.h"
#include "ui/resources/main_window_ui.h"
#include "ui/resources/menu_builder.h"
#include "ui/resources/menu_commands.h"
#include "ui/resources/menu_resource.h"
#include "ui/resources/resource_ids.h"
#include "ui/resources/run_config_ui.h"
#include "ui/resources/string_resources.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <gtest/gtest.h>

using nivra::ui::ChartWidget;
using nivra::ui::EditWithBorder;
using nivra::ui::ListBoxWithBorder;
using nivra::ui::RangeSlider;
using nivra::ui::WindowMenu;

namespace res = nivra::res;
using nivra::Statistic;

namespace {

TEST(DialogUnits, EdgesAreConvertedWithRoundingSoNeighboursStayTouching) {
    const res::DialogBaseUnits units{6, 13};
    // x: 455 * 6 / 4 = 682.5 -> 683; y: 29 * 13 / 8 = 47.125 -> 47
    EXPECT_EQ(res::mapDialogRect(units, 0, 0, 455, 29), QRect(0, 0, 683, 47));
    EXPECT_EQ(res::mapDialogRect(units, 2, 29, 455, 314), QRect(3, 47, 683, 510));
    const QRect left = res::mapDialogRect(units, 5, 353, 22, 20);
    const QRect right = res::mapDialogRect(units, 27, 353, 22, 20);
    EXPECT_EQ(left.left() + left.width(), right.left());
    EXPECT_EQ(res::mulDiv(-3, 6, 4), -5); // -4.5 rounds away from zero
    EXPECT_EQ(res::mulDiv(1, 1, 0), 0);
}

TEST(DialogUnits, BaseUnitsComeFromTheFontsAverageCharacter) {
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(10);
    QFont large = small;
    large.setPixelSize(20);
    const res::DialogBaseUnits a = res::baseUnitsForFont(small);
    const res::DialogBaseUnits b = res::baseUnitsForFont(large);
    EXPECT_GT(a.width, 0);
    EXPECT_GT(b.width, a.width);
    EXPECT_GT(b.height, a.height);
}

// Every control of every template exists in its built dialog with its text and place.
TEST(DialogBuilder, EveryControlKeepsItsTextAndConvertedPlace) {
    for (const res::DialogTemplate* t :
         {&res::aboutTemplate(), res::findDialogTemplate(res::kDialogMain),
          &res::counterConfigTemplate(), &res::assayConfigTemplate(), &res::runConfigTemplate()}) {
        SCOPED_TRACE(t->caption);
        nivra::ui::TemplateDialog dialog(*t, nullptr);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(t->caption));
        const res::DialogBaseUnits units = res::baseUnitsForFont(dialog.font());
        const QRect client = res::mapDialogRect(units, 0, 0, t->width, t->height);
        EXPECT_EQ(dialog.form()->size(), client.size());
        ASSERT_EQ(dialog.form()->controls().size(), t->controls.size());
        for (const res::BuiltControl& built : dialog.form()->controls()) {
            const res::ControlTemplate& c = *built.source;
            if (c.kind == res::ControlKind::Icon)
                continue;
            SCOPED_TRACE(c.text);
            EXPECT_EQ(built.widget->geometry(),
                      res::mapDialogRect(units, c.x, c.y, c.width, c.height));
            if (c.kind == res::ControlKind::PushButton || c.kind == res::ControlKind::Label ||
                c.kind == res::ControlKind::CheckBox || c.kind == res::ControlKind::GroupBox) {
                EXPECT_EQ(nivra::ui::controlText(built.widget), QString::fromUtf8(c.text));
            }
        }
    }
}

TEST(DialogBuilder, MainWindowControlsAreOfTheirKinds) {
    nivra::ui::TemplateForm form(res::mainWindowTemplate(), nullptr);
    const auto ui = form.bind<nivra::ui::MainWindowUi>();
    EXPECT_NE(ui.chart, nullptr);
    EXPECT_NE(ui.slider, nullptr);
    EXPECT_NE(ui.progress, nullptr);
    EXPECT_NE(ui.heartbeat, nullptr);
    for (QListWidget* list : {ui.dataDump, ui.roiDump, ui.headerList})
        EXPECT_NE(dynamic_cast<ListBoxWithBorder*>(list), nullptr);
    for (QListWidget* list : {ui.statsValues, ui.statsLabels}) {
        EXPECT_EQ(dynamic_cast<ListBoxWithBorder*>(list), nullptr);
        EXPECT_EQ(list->selectionMode(), QAbstractItemView::NoSelection);
    }
    for (QLineEdit* edit : {ui.headerEdit, ui.deletePointEdit, ui.roiMin, ui.roiMax})
        EXPECT_NE(dynamic_cast<EditWithBorder*>(edit), nullptr);
    // Digits-only edits refuse typed letters.
    ui.roiMin->insert(QStringLiteral("1a"));
    EXPECT_EQ(ui.roiMin->text(), QString());
    ui.roiMin->insert(QStringLiteral("12"));
    EXPECT_EQ(ui.roiMin->text(), QStringLiteral("12"));
    EXPECT_EQ(ui.fileLabel->text(), QStringLiteral("File:"));
}

// Every member of a dialog's ui struct is filled by a row of its template, the edits bordered.
TEST(DialogBuilder, EveryMemberOfTheDialogsUiIsFilledFromItsTemplate) {
    const auto bordered = [](std::initializer_list<QLineEdit*> edits) {
        for (QLineEdit* edit : edits)
            EXPECT_NE(dynamic_cast<EditWithBorder*>(edit), nullptr);
    };
    const auto present = [](std::initializer_list<const QWidget*> widgets) {
        for (const QWidget* widget : widgets)
            EXPECT_NE(widget, nullptr);
    };
    nivra::ui::TemplateForm run(res::runConfigTemplate(), nullptr);
    const auto r = run.bind<nivra::ui::RunConfigUi>();
    bordered({r.counterName, r.counterFile, r.assayName, r.assayFile, r.counterNumber});
    EXPECT_TRUE(r.counterNumber->isReadOnly());
    present({r.openCounter, r.openAssay, r.start, r.cancel});

    nivra::ui::TemplateForm assay(res::assayConfigTemplate(), nullptr);
    const auto a = assay.bind<nivra::ui::AssayConfigUi>();
    bordered({a.name, a.dwellHours, a.dwellMinutes, a.dwellSeconds, a.totalHours, a.totalMinutes,
              a.totalSeconds, a.sampleArea, a.backgroundRate, a.backgroundHours});
    present({a.load, a.save, a.saveAsDefault, a.close});

    nivra::ui::TemplateForm counter(res::counterConfigTemplate(), nullptr);
    const auto c = counter.bind<nivra::ui::CounterConfigUi>();
    bordered({c.name, c.description, c.detectorArea, c.detectorEfficiency});
    present({c.counterGroup, c.load, c.save, c.saveAsDefault, c.close});

    nivra::ui::TemplateForm about(res::aboutTemplate(), nullptr);
    const auto b = about.bind<nivra::ui::AboutUi>();
    present({b.version, b.ok});
}

TEST(DialogBuilder, GroupBoxesLieBeneathTheControlsTheyFrame) {
    nivra::ui::TemplateForm assay(res::assayConfigTemplate(), nullptr);
    // The "Dwell Time" group comes after the dwell hours in the template but must not cover them.
    QWidget* edit = assay.bind<nivra::ui::AssayConfigUi>().dwellHours;
    const QPoint centre = edit->geometry().center();
    EXPECT_EQ(assay.childAt(centre), edit);
}

TEST(DialogBuilder, ATemplateDialogIsAFixedSizeWindowOnItsBackground) {
    nivra::ui::TemplateDialog main(res::mainWindowTemplate(), nullptr);
    main.setBackgroundColor(QColor(254, 254, 254));
    EXPECT_EQ(main.minimumSize(), main.maximumSize());
    const QImage image = main.grab().toImage();
    const QPoint empty = main.form()->mapTo(&main, QPoint(1, 1)); // left of the active slot label
    EXPECT_EQ(image.pixelColor(empty), QColor(254, 254, 254));
}

TEST(MainMenu, ItemsCarryTheirCommandsAndMarks) {
    QWidget window;
    WindowMenu* menu = new WindowMenu(*res::findMenuTemplate(res::kMenuMain), &window);
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> drops = menu->bar()->actions();
    QStringList titles;
    for (QAction* a : drops)
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Active Counter", "&Configuration", "Assay &Run",
                                   "&Statistics Show", "A&bout"}));
    for (nivra::res::MenuCommand command :
         {res::Command::FileNew,    res::Command::FileOpen,      res::Command::FileSave,
          res::Command::SaveCsv,    res::Command::SaveRoi,       res::Command::SaveRoiCsv,
          res::Command::FilePrint,  res::Command::Exit,          res::Command::Viewer,
          res::Command::Counter1,   res::Command::Counter2,      res::Command::Counter3,
          res::Command::Counter4,   res::Command::ConfigCounter, res::Command::ConfigAssay,
          res::Command::RunStart,   res::Command::RunStop,       res::Command::About,
          res::Command::Assessment, res::Command::History})
        EXPECT_NE(menu->action(command), nullptr) << command;
    EXPECT_EQ(menu->action(res::Command::FilePrint)->text(), QStringLiteral("&Print"));
    for (int k = 0; k < static_cast<int>(nivra::kStatisticCount); ++k)
        EXPECT_TRUE(menu->isChecked(nivra::statisticAt(k)));
    EXPECT_EQ(menu->action(res::MenuCommand(Statistic::Netapercm2hrErr))->text(),
              QStringLiteral("\u00b1 err"));
    EXPECT_EQ(menu->action(res::MenuCommand(Statistic::LOD900))->text(),
              QStringLiteral("LOD90.0%"));
}

// The usual shortcuts, and within each drop-down (the menu bar's titles too) no mnemonic twice.
TEST(MainMenu, ShortcutsAndMnemonicsOfTheUsualCommands) {
    QWidget window;
    WindowMenu* menu = new WindowMenu(*res::findMenuTemplate(res::kMenuMain), &window);
    const std::pair<res::Command, const char*> shortcuts[] = {{res::Command::FileNew, "Ctrl+N"},
                                                              {res::Command::FileOpen, "Ctrl+O"},
                                                              {res::Command::FileSave, "Ctrl+S"},
                                                              {res::Command::Exit, "Ctrl+Q"}};
    for (const auto& [command, keys] : shortcuts)
        EXPECT_EQ(menu->action(command)->shortcut(), QKeySequence(QString::fromLatin1(keys)))
            << keys;
    EXPECT_TRUE(menu->action(res::Command::SaveCsv)->shortcut().isEmpty());

    const auto mnemonicsOf = [](const QList<QAction*>& actions) {
        QStringList letters;
        for (const QAction* action : actions) {
            const qsizetype at = action->text().indexOf(QLatin1Char('&'));
            if (at >= 0 && at + 1 < action->text().size())
                letters << action->text().mid(at + 1, 1).toLower();
        }
        return letters;
    };
    std::vector<QList<QAction*>> groups{menu->bar()->actions()};
    for (QAction* drop : menu->bar()->actions())
        groups.push_back(drop->menu()->actions());
    for (const QList<QAction*>& group : groups) {
        const QStringList letters = mnemonicsOf(group);
        EXPECT_EQ(QSet<QString>(letters.begin(), letters.end()).size(), letters.size())
            << letters.join(' ').toStdString();
    }
    EXPECT_EQ(mnemonicsOf(menu->bar()->actions()).size(), 6);
}

TEST(MainMenu, ChoosingAnItemTriggersItsActionAndLeavesTheMarkToTheProgram) {
    QWidget window;
    WindowMenu* menu = new WindowMenu(*res::findMenuTemplate(res::kMenuMain), &window);
    std::vector<res::MenuCommand> chosen;
    for (res::MenuCommand command :
         {res::MenuCommand(Statistic::StdDev), res::MenuCommand(res::Command::RunStart)})
        QObject::connect(menu->action(command), &QAction::triggered,
                         [&chosen, command] { chosen.push_back(command); });

    const res::MenuCommand stdDev = res::MenuCommand(Statistic::StdDev);
    menu->action(stdDev)->trigger();
    EXPECT_TRUE(menu->isChecked(stdDev));
    EXPECT_TRUE(menu->action(stdDev)->isChecked()); // not toggled by the choice itself
    menu->checkItem(stdDev, false);
    EXPECT_FALSE(menu->action(stdDev)->isChecked());
    menu->action(stdDev)->trigger();
    EXPECT_FALSE(menu->action(stdDev)->isChecked());

    menu->enableItem(res::Command::RunStart, false);
    menu->action(res::Command::RunStart)->trigger(); // grayed: nothing
    EXPECT_FALSE(menu->isEnabled(res::Command::RunStart));
    menu->enableItem(res::Command::RunStart, true);
    menu->action(res::Command::RunStart)->trigger();
    EXPECT_EQ(chosen, (std::vector<res::MenuCommand>{stdDev, stdDev, res::Command::RunStart}));
}

TEST(Resources, AboutMenuString) {
    EXPECT_EQ(res::loadStringResource(res::kStringAboutMenu), QStringLiteral("&About Nivra..."));
    constexpr int kNoSuchString = 999;
    EXPECT_TRUE(res::loadStringResource(kNoSuchString).isEmpty());
}

} // namespace
