// Each control's widget shows its model and a person's input changes the model or reaches
// the window as the program expects it.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "gui_test.h"
#include "platform/ui/check_box.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/progress_bar.h"
#include "platform/ui/toolkit.h"
#include "platform/ui/ui_guards.h"
#include "qt/device_metrics.h"
#include "qt/list_header.h"
#include "qt/list_row_delegate.h"
#include "qt/report_list_model.h"
#include "test_dialog.h"

namespace testing_support::qt {
namespace {

using platform::ui::MessageKind;
using qtfront::ListHeader;
using qtfront::ReportListModel;
using qtfront::ReportListView;

class Binding : public GuiTest {
  protected:
    DialogDevice device{frontend};
    TestDialog dialog;

    void SetUp() override { frontend.SetAutomation(&driver); }
    void Run() {
        driver.Add("end", [] { platform::ui::PostMessage(EndMessage()); });
        dialog.RunModal();
        EXPECT_TRUE(driver.AllStepsRan());
    }
};

TEST_F(Binding, EditsButtonsCheckBoxesAndCombosWorkBothWays) {
    // Controls exist once the window is created.
    const auto combo = [&]() -> platform::ui::ComboBox& {
        return static_cast<platform::ui::ComboBox&>(*dialog.GetDlgItem(kChoiceCombo));
    };
    driver.Add("type", [&] {
        QTest::keyClicks(&Widget<QLineEdit>(kUserEdit), "alice");
        QTest::keyClicks(&Widget<QLineEdit>(kPasswordEdit), "s3cret");
        EXPECT_EQ(dialog.GetDlgItem(kUserEdit)->GetWindowText(), L"alice");
        EXPECT_EQ(dialog.GetDlgItem(kPasswordEdit)->GetWindowText(), L"s3cret");
        // The password shows masking characters only.
        EXPECT_EQ(Widget<QLineEdit>(kPasswordEdit).echoMode(), QLineEdit::Password);
        EXPECT_FALSE(Widget<QLineEdit>(kPasswordEdit).displayText().contains("s3cret"));
        Shot("typed");
        QTest::mouseClick(&Widget<QPushButton>(kGoButton), Qt::LeftButton);
    });
    driver.Add("program sets texts and states", [&] {
        ASSERT_EQ(dialog.Received(MessageKind::Command).size(), 1u);
        EXPECT_EQ(dialog.Received(MessageKind::Command)[0].id, kGoButton);
        EXPECT_EQ(dialog.Received(MessageKind::Command)[0].window, dialog.Handle());

        dialog.GetDlgItem(kUserEdit)->SetWindowText(L"");
        EXPECT_EQ(Widget<QLineEdit>(kUserEdit).text(), "");
        dialog.GetDlgItem(kGoButton)->EnableWindow(false);
        dialog.GetDlgItem(kCancelButton)->ShowWindow(false);
        EXPECT_FALSE(Widget<QPushButton>(kGoButton).isEnabled());
        EXPECT_TRUE(Widget<QPushButton>(kCancelButton).isHidden());
        // A disabled button does not react.
        QTest::mouseClick(&Widget<QPushButton>(kGoButton), Qt::LeftButton);

        QTest::mouseClick(&Widget<QCheckBox>(kRememberBox), Qt::LeftButton);
        EXPECT_TRUE(
            static_cast<platform::ui::CheckBox&>(*dialog.GetDlgItem(kRememberBox)).GetCheck());
        static_cast<platform::ui::CheckBox&>(*dialog.GetDlgItem(kRememberBox)).SetCheck(false);
        EXPECT_FALSE(Widget<QCheckBox>(kRememberBox).isChecked());

        combo().InsertString(-1, L"first");
        combo().InsertString(-1, L"second");
        combo().InsertString(1, L"between");
        combo().SetCurSel(0);
        QComboBox& view = Widget<QComboBox>(kChoiceCombo);
        ASSERT_EQ(view.count(), 3);
        EXPECT_EQ(view.itemText(1), "between");
        EXPECT_EQ(view.currentIndex(), 0);
        // Setting the selection in the program does not notify the window.
        EXPECT_TRUE(dialog.Received(MessageKind::Notify, platform::ui::kNotifySelChange).empty());
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_Down);
    });
    driver.Add("check the choice", [&] {
        EXPECT_EQ(combo().GetCurSel(), 1);
        const auto changes = dialog.Received(MessageKind::Notify, platform::ui::kNotifySelChange);
        ASSERT_EQ(changes.size(), 1u);
        EXPECT_EQ(changes[0].control, kChoiceCombo);
        EXPECT_EQ(dialog.Received(MessageKind::Command).size(), 1u);

        auto& progress = static_cast<platform::ui::ProgressBar&>(*dialog.GetDlgItem(kProgressBar));
        progress.SetRange(0, 3);
        progress.SetPos(2);
        EXPECT_EQ(Widget<QProgressBar>(kProgressBar).maximum(), 3);
        EXPECT_EQ(Widget<QProgressBar>(kProgressBar).value(), 2);
        // An empty range shows an empty bar, not a busy one.
        progress.SetRange(0, 0);
        EXPECT_GT(Widget<QProgressBar>(kProgressBar).maximum(), 0);
        Shot("controls");
    });
    Run();
}

TEST_F(Binding, ListTapsTicksDoubleTapsHoldsAndHeaderClicks) {
    dialog.initialRows = 30;
    auto notifications = [&](int code) { return dialog.Received(MessageKind::Notify, code); };
    driver.Add("tick and tap", [&] {
        ReportListView& list = List(kRowsList);

        TickRow(list, 3);
        EXPECT_TRUE(dialog.list.GetCheck(3));
        EXPECT_EQ(dialog.list.GetSelectionMark(), -1) << "ticking does not select";
        TapRow(list, 5);
        EXPECT_EQ(dialog.list.GetSelectionMark(), 5);
        EXPECT_NE(dialog.list.GetItemState(5) & platform::ui::kStateSelected, 0u);
        TickRow(list, 3);
        EXPECT_FALSE(dialog.list.GetCheck(3));
        EXPECT_TRUE(dialog.received.empty()) << "taps and ticks stay in the list";
        Shot("ticked");
        DoubleTapRow(list, 7);
    });
    driver.Add("double tap reached the window", [&] {
        const auto taps = notifications(platform::ui::kNotifyDoubleTap);
        ASSERT_EQ(taps.size(), 1u);
        EXPECT_EQ(taps[0].control, kRowsList);
        EXPECT_EQ(taps[0].item, 7);
        EXPECT_EQ(dialog.list.GetSelectionMark(), 7);
        EXPECT_EQ(dialog.list.HitTest(taps[0].point), 7) << "the point lies on the row";
        RightClickRow(List(kRowsList), 2);
    });
    driver.Add("right click is tap-and-hold", [&] {
        const auto holds = notifications(platform::ui::kNotifyTapAndHold);
        ASSERT_EQ(holds.size(), 1u);
        EXPECT_EQ(holds[0].item, 2);
        EXPECT_EQ(dialog.list.HitTest(holds[0].point), 2);
        // A short press is a tap, not a hold.
        QTest::mousePress(List(kRowsList).viewport(), Qt::LeftButton, {},
                          List(kRowsList).RowPoint(4));
        QTest::qWait(100);
        QTest::mouseRelease(List(kRowsList).viewport(), Qt::LeftButton, {},
                            List(kRowsList).RowPoint(4));
        QTest::qWait(qtfront::kHoldMilliseconds + 200);
        EXPECT_EQ(notifications(platform::ui::kNotifyTapAndHold).size(), 1u);
        LongPressRow(List(kRowsList), 4);
    });
    driver.Add("long press is tap-and-hold", [&] {
        const auto holds = notifications(platform::ui::kNotifyTapAndHold);
        ASSERT_EQ(holds.size(), 2u);
        EXPECT_EQ(holds[1].item, 4);
        EXPECT_EQ(dialog.list.HitTest(holds[1].point), 4);
        ListHeader& header = List(kRowsList).Header();
        QTest::mouseClick(header.viewport(), Qt::LeftButton, {},
                          QPoint(header.sectionViewportPosition(1) + header.sectionSize(1) / 2,
                                 header.height() / 2));
    });
    driver.Add("header click", [&] {
        const auto clicks = notifications(platform::ui::kNotifyColumnClick);
        ASSERT_EQ(clicks.size(), 1u);
        EXPECT_EQ(clicks[0].column, 1);
    });
    Run();
}

TEST_F(Binding, ScrolledListKeepsHitTestAndRowsInStep) {
    dialog.initialRows = 200;
    driver.Add("scroll and hold", [&] {
        ReportListView& list = List(kRowsList);
        list.scrollTo(list.Model().index(120, 0), QAbstractItemView::PositionAtTop);
        EXPECT_EQ(dialog.list.TopIndex(), 120);
        Shot("scrolled");
        RightClickRow(list, 123);
    });
    driver.Add("check", [&] {
        const auto holds = dialog.Received(MessageKind::Notify, platform::ui::kNotifyTapAndHold);
        ASSERT_EQ(holds.size(), 1u);
        EXPECT_EQ(holds[0].item, 123);
        EXPECT_EQ(dialog.list.HitTest(holds[0].point), 123);
        // Refilling the list starts again at its top.
        dialog.list.DeleteAllItems();
        dialog.AddRows(3);
    });
    driver.Add("refilled", [&] {
        EXPECT_EQ(List(kRowsList).Model().rowCount(), 3);
        EXPECT_EQ(dialog.list.TopIndex(), 0);
    });
    Run();
}

TEST_F(Binding, ALongNameKeepsItsEndAndShowsWholeAsTheTooltip) {
    const std::wstring name = L"Quarterly figures for the northern region, final draft.pdf";
    driver.Add("long name", [&] { dialog.list.InsertItem(0, name, 1); });
    driver.Add("fitted", [&] {
        ReportListView& list = List(kRowsList);
        const QModelIndex first = list.Model().index(0, 0);
        EXPECT_EQ(list.Model().data(first, Qt::ToolTipRole).toString(),
                  QString::fromStdWString(name));
        const int width = list.visualRect(first).width();
        const QString shown = qtfront::ListRowDelegate::FittedText(
            list.fontMetrics(), QString::fromStdWString(name), width);
        EXPECT_LT(shown.size(), static_cast<qsizetype>(name.size()));
        EXPECT_TRUE(shown.startsWith("Quarterly")) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith("draft.pdf")) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QChar(0x2026)));
        Shot("long-name");
    });
    Run();
}

TEST_F(Binding, TheHiddenColumnStaysClosedWhenAPersonDragsIt) {
    dialog.initialRows = 3;
    driver.Add("drag", [&] {
        ListHeader& header = List(kRowsList).Header();
        EXPECT_EQ(header.sectionSize(2), 0);
        // The last open column reaches the list's right edge.
        EXPECT_EQ(header.sectionViewportPosition(1) + header.sectionSize(1),
                  List(kRowsList).viewport()->width());
        // Dragging the border where the closed column starts, and the one before it.
        for (int column : {2, 1}) {
            const int edge = header.sectionViewportPosition(column) + header.sectionSize(column);
            const int y = header.height() / 2;
            QTest::mousePress(header.viewport(), Qt::LeftButton, {}, QPoint(edge - 1, y));
            QTest::mouseMove(header.viewport(), QPoint(edge + 20, y));
            QTest::mouseMove(header.viewport(), QPoint(edge + 40, y));
            QTest::mouseRelease(header.viewport(), Qt::LeftButton, {}, QPoint(edge + 40, y));
        }
        EXPECT_EQ(header.sectionSize(2), 0);
        // Whatever Qt grabbed, column 2 only ever moved with the list's consent.
        for (int column : dialog.list.asked) {
            EXPECT_TRUE(column == 1 || column == 2) << column;
        }
        EXPECT_FALSE(dialog.list.asked.empty());
        // Resizes that do not come from the list's own widths are asked too.
        header.resizeSection(2, 50);
        EXPECT_EQ(header.sectionSize(2), 0);
        header.resizeSection(0, 200);
        EXPECT_EQ(header.sectionSize(0), 200);
    });
    Run();
}

TEST_F(Binding, BulkChangesReachQtAsOneReset) {
    driver.Add("fill ten thousand rows", [&] {
        ReportListModel& model = List(kRowsList).Model();
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        {
            // Frozen as the program fills its lists: one announcement when it thaws.
            CListFreeze freeze(dialog.list);
            dialog.AddRows(10000);
            for (int row = 0; row < 10000; row += 2) {
                dialog.list.SetCheck(row, true);
            }
            dialog.list.SwapRows(0, 9999);
        }
        frontend.SyncViews();
        EXPECT_EQ(resets.count(), 1);
        EXPECT_EQ(inserts.count(), 0);
        EXPECT_EQ(changes.count(), 0) << "the reset covers the changes";
        EXPECT_EQ(model.rowCount(), 10000);

        for (int row = 0; row < 10000; ++row) {
            dialog.list.SetCheck(row, row % 3 == 0);
        }
        frontend.SyncViews();
        EXPECT_EQ(changes.count(), 1);
        EXPECT_EQ(resets.count(), 1);
        EXPECT_EQ(model.data(model.index(9999, 0), Qt::DisplayRole).toString(), "row 0");
        Shot("ten-thousand");
    });
    Run();
}

// Row changes outside a freeze reach Qt as ranges in their order, so the rows around them keep
// their place and selection.
TEST_F(Binding, InsertsAndRemovesReachQtAsRanges) {
    dialog.initialRows = 3;
    driver.Add("insert and remove", [&] {
        ReportListModel& model = List(kRowsList).Model();
        const int before = model.rowCount();
        ASSERT_GE(before, 3);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removes(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

        dialog.list.InsertItem(1, L"new", 0);
        dialog.list.SetItemText(1, 1, L"size");
        frontend.SyncViews();
        ASSERT_EQ(inserts.count(), 1);
        EXPECT_EQ(inserts[0][1].toInt(), 1);
        EXPECT_EQ(inserts[0][2].toInt(), 1);
        EXPECT_EQ(changes.count(), 0) << "the new row's texts come with it";
        EXPECT_EQ(model.rowCount(), before + 1);
        EXPECT_EQ(model.data(model.index(1, 0), Qt::DisplayRole).toString(), "new");

        dialog.AddRows(3);  // appended one by one: one range
        dialog.list.DeleteItem(0);
        dialog.list.DeleteItem(0);
        frontend.SyncViews();
        ASSERT_EQ(inserts.count(), 2);
        EXPECT_EQ(inserts[1][1].toInt(), before + 1);
        EXPECT_EQ(inserts[1][2].toInt(), before + 3);
        ASSERT_EQ(removes.count(), 1);
        EXPECT_EQ(removes[0][1].toInt(), 0);
        EXPECT_EQ(removes[0][2].toInt(), 1);
        EXPECT_EQ(model.rowCount(), before + 2);
        EXPECT_EQ(model.data(model.index(before - 1, 0), Qt::DisplayRole).toString(),
                  QString("row %1").arg(before + 1));
        EXPECT_EQ(resets.count(), 0);
    });
    Run();
}

TEST_F(Binding, CommandBarShowsTheModelAndKeysReachHiddenCommands) {
    driver.Add("bar", [&] {
        EXPECT_TRUE(ToolButton(kShownCommand).isVisible());
        EXPECT_TRUE(ToolButton(kHiddenCommand).isHidden());
        EXPECT_FALSE(ToolButton(kDisabledCommand).isEnabled());
        EXPECT_EQ(ToolButton(kShownCommand).toolTip(), "Shown");
        // Hidden buttons take no room: the disabled one follows the shown one.
        EXPECT_EQ(ToolButton(kDisabledCommand).x(),
                  ToolButton(kShownCommand).x() + ToolButton(kShownCommand).width());
        QTest::mouseClick(&ToolButton(kDisabledCommand), Qt::LeftButton);
        QTest::mouseClick(&ToolButton(kShownCommand), Qt::LeftButton);
    });
    driver.Add("keys", [&] {
        const auto commands = dialog.Received(MessageKind::Command);
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].id, kShownCommand);
        dialog.GetCommandBar().HideButton(kHiddenCommand, false);
        dialog.GetCommandBar().EnableButton(kDisabledCommand, true);
        EXPECT_FALSE(ToolButton(kHiddenCommand).isHidden());
        EXPECT_TRUE(ToolButton(kDisabledCommand).isEnabled());
        Shot("bar");
        QTest::keyClick(&frontend.Screen(), Qt::Key_F1);
        QTest::keyClick(&frontend.Screen(), Qt::Key_M, Qt::ControlModifier);
    });
    driver.Add("check", [&] {
        const auto commands = dialog.Received(MessageKind::Command);
        ASSERT_EQ(commands.size(), 2u);
        EXPECT_EQ(commands[1].id, kHelpCommand) << "F1 issues the hidden help command";
        // This window's bar has no move command: Ctrl+M does nothing here.
        EXPECT_TRUE(dialog.Received(MessageKind::Help).empty());
    });
    Run();
}

class WithoutHelpCommand : public GuiTest {
  protected:
    DialogDevice device{frontend};
    TestDialog dialog{/*withHelp=*/false};
};

TEST_F(WithoutHelpCommand, F1IsTheHelpRequest) {
    frontend.SetAutomation(&driver);
    driver.Add("F1", [&] { QTest::keyClick(&frontend.Screen(), Qt::Key_F1); });
    driver.Add("end", [&] {
        EXPECT_EQ(dialog.Received(MessageKind::Help).size(), 1u);
        EXPECT_TRUE(dialog.Received(MessageKind::Command).empty());
        platform::ui::PostMessage(EndMessage());
    });
    dialog.RunModal();
}

}  // namespace
}  // namespace testing_support::qt
