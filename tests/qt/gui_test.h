#pragma once
// Tests of the Qt front end drive the real widgets with QtTest's mouse and keys on Qt's
// offscreen platform. The program (or a test dialog) runs its modal loops; the test's steps
// run whenever it waits for input, and real message boxes and pop-up menus are answered
// from queues as they come up. Every window that opens and every Shot() is saved as a PNG
// in the test's artifact folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qt/automation.h"
#include "qt/qt_frontend.h"
#include "qt/report_list_view.h"
#include "qt/snapshots.h"

class QToolButton;

namespace testing_support::qt {

// artifacts/qt/<suite>.<test> below the build folder.
std::filesystem::path ArtifactFolder();

// Runs a test's steps when the program waits for input.
class Driver final : public qtfront::Automation {
  public:
    Driver(qtfront::QtFrontend& frontend, qtfront::Snapshots& snapshots)
        : m_frontend(frontend), m_snapshots(snapshots) {}

    void Add(std::string name, std::function<void()> step);
    // Called at every transfer cancel check with its number (from 1), input swallowed.
    std::function<void(int check)> onCancelCheck;
    int CancelChecks() const { return m_checks; }
    bool AllStepsRan() const { return m_next == m_steps.size(); }

    bool Idle(platform::Device& device) override;
    void CancelCheck(platform::ui::MessageQueue& queue) override;
    void WindowOpened(const platform::ui::Window& window) override;

  private:
    struct Step {
        std::string name;
        std::function<void()> run;
    };
    qtfront::QtFrontend& m_frontend;
    qtfront::Snapshots& m_snapshots;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    int m_checks = 0;
};

struct SeenBox {
    QString title;
    QString text;
    bool stopIcon = false;
    bool yesNo = false;
    QRect frame;  // on the desktop
    Qt::WindowFlags flags;
};

class GuiTest : public ::testing::Test {
  protected:
    GuiTest();
    ~GuiTest() override;

    // Saves a picture of the device screen now.
    void Shot(const std::string& name);

    // Answers the next real message box with `button` (QMessageBox::Ok, Yes or No).
    void AnswerBox(int button) { m_boxAnswers.push_back(button); }
    // Answers the next real message box by pressing `key` (Qt::Key_Return, Qt::Key_Y...).
    void AnswerBoxWithKey(int key) { m_boxAnswers.push_back(-key); }
    // Chooses the entry `text` of the next pop-up menu ("" dismisses it).
    void ChooseMenuEntry(const QString& text) { m_menuChoices.push_back(text); }
    const std::vector<SeenBox>& Boxes() const { return m_boxes; }
    const std::vector<QStringList>& Menus() const { return m_menus; }
    // The row drawn as the hold row of the shown list while each menu was open (-1: none).
    const std::vector<int>& HeldRows() const { return m_heldRows; }

    // The innermost window's view and its widgets.
    qtfront::WindowView& Shown() const;
    template <class T>
    T& Widget(int controlId) const {
        auto* widget = dynamic_cast<T*>(Shown().ControlWidget(controlId));
        if (widget == nullptr) {
            throw std::runtime_error("no such control " + std::to_string(controlId));
        }
        return *widget;
    }
    qtfront::ReportListView& List(int controlId) const {
        return Widget<qtfront::ReportListView>(controlId);
    }
    QToolButton& ToolButton(int command) const;

    // Mouse on a list row: a tap on its name or its check box, a double tap, a right click
    // and a long press.
    void TapRow(qtfront::ReportListView& list, int row);
    void TickRow(qtfront::ReportListView& list, int row);
    void DoubleTapRow(qtfront::ReportListView& list, int row);
    void RightClickRow(qtfront::ReportListView& list, int row);
    void LongPressRow(qtfront::ReportListView& list, int row);

    int argc = 1;
    char name[8] = "test_qt";
    char* argv[2] = {name, nullptr};
    QApplication app{argc, argv};
    qtfront::QtFrontend frontend{qtfront::Scale{2}};
    qtfront::Snapshots snapshots{ArtifactFolder()};
    Driver driver{frontend, snapshots};

  private:
    void AnswerWhatIsOpen();

    QTimer m_watch;
    std::deque<int> m_boxAnswers;
    QPointer<QMessageBox> m_keyedBox;  // answered with a key, which may take a moment
    std::deque<QString> m_menuChoices;
    std::vector<SeenBox> m_boxes;
    std::vector<QStringList> m_menus;
    std::vector<int> m_heldRows;
};

}  // namespace testing_support::qt
