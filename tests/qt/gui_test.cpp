#include "gui_test.h"

#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>

#include "drawn_text.h"
#include "qt/command_bar_view.h"
#include "qt/device_metrics.h"
#include "qt/message_box.h"
#include "qt/window_view.h"

namespace testing_support::qt {

std::filesystem::path ArtifactFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name =
        test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "outside";
    std::filesystem::path folder = std::filesystem::path(STOWBOX_QT_ARTIFACTS) / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return folder;
}

void Driver::Add(std::string name, std::function<void()> step) {
    m_steps.push_back({std::move(name), std::move(step)});
}

bool Driver::Idle(platform::Device&) {
    if (m_next >= m_steps.size()) {
        ADD_FAILURE() << "the program waits for input after the last step";
        // Closing the screen ends every run.
        m_frontend.Screen().close();
        return true;
    }
    const Step& step = m_steps[m_next++];
    SCOPED_TRACE("step " + step.name);
    step.run();
    return true;
}

void Driver::CancelCheck(platform::ui::MessageQueue&) {
    ++m_checks;
    if (onCancelCheck) {
        onCancelCheck(m_checks);
    }
}

void Driver::WindowOpened(const platform::ui::Window& window) {
    m_snapshots.Save(m_frontend.Grab(), std::string("open-") + window.ClassName());
}

GuiTest::GuiTest() {
    // Real boxes and menus run their own loops; this watch answers them from the queues.
    m_watch.setInterval(10);
    QObject::connect(&m_watch, &QTimer::timeout, [this] { AnswerWhatIsOpen(); });
    m_watch.start();
}

GuiTest::~GuiTest() {
    m_watch.stop();
}

void GuiTest::AnswerWhatIsOpen() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        box != nullptr && box->isVisible() && box != m_keyedBox) {
        m_boxes.push_back({box->windowTitle(), box->text(),
                           box->icon() == QMessageBox::Critical || !box->iconPixmap().isNull(),
                           box->button(QMessageBox::Yes) != nullptr, box->geometry(),
                           box->windowFlags()});
        snapshots.Save(box->grab().toImage(), "box");
        int answer = QMessageBox::Ok;
        if (m_boxAnswers.empty()) {
            ADD_FAILURE() << "a message box nobody expected: " << box->text().toStdString();
            answer = m_boxes.back().yesNo ? QMessageBox::No : QMessageBox::Ok;
        } else {
            answer = m_boxAnswers.front();
            m_boxAnswers.pop_front();
        }
        if (answer < 0) {
            // A key may press its button a moment later: the box is not answered twice.
            m_keyedBox = box;
            QTest::keyClick(box, static_cast<Qt::Key>(-answer));
            return;
        }
        QAbstractButton* button = box->button(static_cast<QMessageBox::StandardButton>(answer));
        if (button == nullptr) {
            ADD_FAILURE() << "the box has no such button: " << box->text().toStdString();
            box->reject();
            return;
        }
        QTest::mouseClick(button, Qt::LeftButton);
        return;
    }
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        menu != nullptr && menu->isVisible()) {
        QStringList entries;
        for (QAction* action : menu->actions()) {
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        m_menus.push_back(entries);
        QStringList whole = entries;
        whole.removeAll(QStringLiteral("-"));
        EXPECT_EQ(DrawnTexts(*menu).join(u'|').toStdString(), whole.join(u'|').toStdString())
            << "a menu entry drawn cut off";
        const auto lists = frontend.ShownView() != nullptr
                               ? Shown().findChildren<qtfront::ReportListView*>()
                               : QList<qtfront::ReportListView*>{};
        m_heldRows.push_back(lists.empty() ? -1 : lists.front()->HeldRow());
        snapshots.Save(menu->grab().toImage(), "menu");
        const QString choice = m_menuChoices.empty() ? QString() : m_menuChoices.front();
        if (m_menuChoices.empty()) {
            ADD_FAILURE() << "a pop-up menu nobody expected";
        } else {
            m_menuChoices.pop_front();
        }
        for (QAction* action : menu->actions()) {
            if (!choice.isEmpty() && action->text() == choice) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return;
            }
        }
        menu->close();
    }
}

void GuiTest::Shot(const std::string& name) {
    snapshots.Save(frontend.Grab(), name);
}

qtfront::WindowView& GuiTest::Shown() const {
    qtfront::WindowView* view = frontend.ShownView();
    if (view == nullptr) {
        throw std::runtime_error("no window is shown");
    }
    return *view;
}

QToolButton& GuiTest::ToolButton(int command) const {
    QToolButton* button = Shown().CommandBar().Button(command);
    if (button == nullptr) {
        throw std::runtime_error("no toolbar button " + std::to_string(command));
    }
    return *button;
}

void GuiTest::TapRow(qtfront::ReportListView& list, int row) {
    list.Sync();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.RowPoint(row));
}

void GuiTest::TickRow(qtfront::ReportListView& list, int row) {
    list.Sync();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.CheckBoxPoint(row));
}

void GuiTest::DoubleTapRow(qtfront::ReportListView& list, int row) {
    list.Sync();
    TapRow(list, row);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.RowPoint(row));
}

void GuiTest::RightClickRow(qtfront::ReportListView& list, int row) {
    list.Sync();
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, list.RowPoint(row));
}

void GuiTest::LongPressRow(qtfront::ReportListView& list, int row) {
    list.Sync();
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, list.RowPoint(row));
    QTest::qWait(qtfront::kHoldMilliseconds + 200);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, list.RowPoint(row));
}

}  // namespace testing_support::qt
