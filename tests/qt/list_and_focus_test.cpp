// What the keyboard user sees and does beyond single keys: the focus drawn on every control,
// ranges of ticked rows, and a list whose last column reaches its right edge.

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include "gui_test.h"
#include "platform/ui/toolkit.h"
#include "qt/focus_mark.h"
#include "qt/list_header.h"
#include "qt/window_view.h"
#include "test_dialog.h"

namespace testing_support::qt {
namespace {

class ListAndFocus : public GuiTest {
  protected:
    DialogDevice device{frontend};
    TestDialog dialog;

    void SetUp() override {
        frontend.SetAutomation(&driver);
        dialog.initialRows = 8;
    }
    void Run() {
        driver.Add("end", [] { platform::ui::PostMessage(EndMessage()); });
        dialog.RunModal();
        EXPECT_TRUE(driver.AllStepsRan());
    }
    std::vector<int> Ticked() const {
        std::vector<int> rows;
        for (int row = 0; row < dialog.list.GetItemCount(); ++row) {
            if (dialog.list.GetCheck(row)) {
                rows.push_back(row);
            }
        }
        return rows;
    }
};

TEST_F(ListAndFocus, FocusIsATwoPixelFrameInTheAccentColourOnEveryControl) {
    driver.Add("focus each", [&] {
        const int width = frontend.ScreenScale().Px(qtfront::FocusMark::kWidthDevicePixels);
        for (QWidget* control :
             {Shown().ControlWidget(kUserEdit), Shown().ControlWidget(kGoButton),
              Shown().ControlWidget(kRememberBox), Shown().ControlWidget(kChoiceCombo),
              Shown().ControlWidget(kRowsList),
              static_cast<QWidget*>(&ToolButton(kShownCommand))}) {
            SCOPED_TRACE(control->metaObject()->className());
            control->setFocus();
            const QRect frame(control->mapTo(&Shown(), QPoint(0, 0)), control->size());
            EXPECT_EQ(Shown().Focus().Frame(), frame);
            const QImage screen = Shown().grab().toImage();
            const QColor accent = control->palette().color(QPalette::Active, QPalette::Highlight);
            for (const QPoint at : {QPoint(frame.left() + width - 1, frame.center().y()),
                                    QPoint(frame.center().x(), frame.bottom() - width + 1)}) {
                EXPECT_EQ(screen.pixelColor(at), accent) << at.x() << "," << at.y();
            }
        }
        Shot("focus");
    });
    Run();
}

TEST_F(ListAndFocus, ShiftAndCtrlATickRangesFromTheLastTickedRow) {
    driver.Add("ranges", [&] {
        qtfront::ReportListView& list = List(kRowsList);
        TickRow(list, 1);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier, list.RowPoint(3));
        EXPECT_EQ(Ticked(), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(dialog.list.GetSelectionMark(), 3) << "the click marks its row as well";
        QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);
        EXPECT_EQ(Ticked(), (std::vector<int>{1, 2, 3, 4, 5}));
        // From the row ticked last, upwards to the newly marked row.
        TickRow(list, 7);
        QTest::keyClick(&list, Qt::Key_Up, Qt::ShiftModifier);
        EXPECT_EQ(dialog.list.GetSelectionMark(), 4);
        EXPECT_EQ(Ticked(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
        QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(Ticked(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    });
    Run();
}

TEST_F(ListAndFocus, TheLastColumnAndTheMarkedRowReachTheRightEdge) {
    const auto reachesEdge = [&](const char* when) {
        SCOPED_TRACE(when);
        qtfront::ReportListView& list = List(kRowsList);
        list.Sync();
        QApplication::processEvents();
        const QHeaderView& header = list.Header();
        EXPECT_EQ(header.sectionViewportPosition(1) + header.sectionSize(1),
                  list.viewport()->width());
        EXPECT_EQ(header.sectionSize(2), 0) << "a closed column stays closed";
        const QImage rows = list.viewport()->grab().toImage();
        EXPECT_EQ(rows.pixelColor(list.viewport()->width() - 1, list.RowPoint(1).y()),
                  list.palette().color(QPalette::Active, QPalette::Highlight));
    };
    driver.Add("few rows", [&] {
        dialog.list.SelectRow(1);
        reachesEdge("without a scroll bar");
        dialog.AddRows(20);
        reachesEdge("with a scroll bar");
        EXPECT_TRUE(List(kRowsList).verticalScrollBar()->isVisible());
        Shot("list");
    });
    Run();
}

}  // namespace
}  // namespace testing_support::qt
