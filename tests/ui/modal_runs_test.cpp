// Nested modal runs, quit unwinding, message tables and the wait cursor.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/device.h"
#include "platform/ui/dialog.h"
#include "platform/ui/message_map.h"
#include "platform/ui/toolkit.h"
#include "support/temp_folder.h"

using namespace platform::ui;

namespace {

// Each wait for input runs the next action; the actions post the input.
class ActionFrontend : public Frontend {
  public:
    std::vector<std::function<void()>> actions;
    std::vector<std::string> events;
    int cursorChanges = 0;

    void WaitForInput(MessageQueue&) override {
        ASSERT_LT(m_next, actions.size()) << "the program waited for input with no action left";
        actions[m_next++]();
    }
    void PumpPendingInput(MessageQueue&) override {}
    MessageBoxAnswer ShowMessageBox(const std::wstring&, const std::wstring&, MessageBoxButtons,
                                    MessageBoxIcon) override {
        return MessageBoxAnswer::Ok;
    }
    int TrackPopupMenu(const Menu&, Point, const Control&) override { return 0; }
    void WindowCreated(Window& window) override {
        events.push_back(std::string("open ") + window.ClassName());
    }
    void WindowDestroyed(Window& window) override {
        events.push_back(std::string("close ") + window.ClassName());
    }
    void TitleChanged(Window&) override {}
    void Repaint(Window&, int) override {}
    void WaitCursorChanged(bool) override { ++cursorChanges; }
    bool StartProgram(const std::wstring&, const std::wstring&) override { return true; }

  private:
    std::size_t m_next = 0;
};

constexpr ControlTemplate kControls[] = {{7, ControlKind::Button, L"GO", {10, 10, 30, 12}, 0, 0}};
constexpr DialogTemplate kTemplate{1, L"Test", L"Verdana", 8, 100, 100, kControls, 0};

// A dialog that opens a nested dialog on command 100 and quits on command 200.
class Nesting : public Dialog {
  public:
    Nesting(const char* name, int depth, std::vector<std::string>& log)
        : Dialog(kTemplate), m_name(name), m_depth(depth), m_log(log) {}
    const char* ClassName() const override { return m_name; }
    bool OnMessage(const Message& m) override;

  private:
    void OnOpenChild() {
        Nesting child(m_depth == 0 ? "Child" : "Grandchild", m_depth + 1, m_log);
        child.RunModal();
        m_log.push_back(std::string(m_name) + " resumed");
        DestroyWindow();
    }
    void OnQuit() { PostQuitMessage(); }
    void OnGo() { m_log.push_back(std::string(m_name) + " go"); }

    const char* m_name;
    int m_depth;
    std::vector<std::string>& m_log;
    static const MessageEntry<Nesting> kMap[];
};

const MessageEntry<Nesting> Nesting::kMap[] = {
    OnCommand(100, &Nesting::OnOpenChild),
    OnCommand(200, &Nesting::OnQuit),
    OnCommand(7, &Nesting::OnGo),
};

bool Nesting::OnMessage(const Message& m) {
    return DispatchMessageTable(*this, kMap, m) || Dialog::OnMessage(m);
}

Message CommandMessage(int id) {
    Message message;
    message.id = id;
    return message;
}

class ModalRuns : public ::testing::Test {
  protected:
    testing_support::TempFolder folder;
    ActionFrontend frontend;
    platform::Device device{frontend, folder.Path()};
    platform::ActiveDevice active{device};
    std::vector<std::string> log;

    std::function<void()> Post(int id) {
        return [this, id] { device.Queue().Post(CommandMessage(id)); };
    }
};

}  // namespace

TEST_F(ModalRuns, QuitInTheInnermostRunEndsEveryRunAndEachOpenerDestroysItself) {
    frontend.actions = {Post(100), Post(100), Post(200)};
    Nesting top("Top", 0, log);
    top.RunModal();

    EXPECT_EQ(log, (std::vector<std::string>{"Child resumed", "Top resumed"}));
    EXPECT_EQ(frontend.events,
              (std::vector<std::string>{"open Top", "open Child", "open Grandchild",
                                        "close Grandchild", "close Child", "close Top"}));
    EXPECT_TRUE(device.Windows().empty());
}

TEST_F(ModalRuns, MessagesGoToTheInnermostWindowAndATapOnAButtonPressesIt) {
    Message tap;
    tap.kind = MessageKind::StylusUp;
    tap.point = DialogRectToScreen(kControls[0].rect).Centre();
    frontend.actions = {Post(100), [&] { device.Queue().Post(tap); }, Post(200)};
    Nesting top("Top", 0, log);
    top.RunModal();
    EXPECT_EQ(log.front(), "Child go");
}

TEST_F(ModalRuns, CancelCommandEndsADialogThroughItsCancelHandler) {
    frontend.actions = {Post(kIdCancel)};
    Nesting top("Top", 0, log);
    EXPECT_EQ(top.RunModal(), kIdCancel);
    EXPECT_FALSE(top.IsCreated());
}

TEST_F(ModalRuns, WaitCursorIsCountedAndNeverGoesBelowZero) {
    EndWaitCursor();
    BeginWaitCursor();
    BeginWaitCursor();
    EndWaitCursor();
    EXPECT_EQ(device.WaitCursorDepth(), 1);
    EndWaitCursor();
    EndWaitCursor();
    EXPECT_EQ(device.WaitCursorDepth(), 0);
    EXPECT_EQ(frontend.cursorChanges, 2);  // shown once, hidden once
}

TEST_F(ModalRuns, TakeOldestMessageTakesWithoutDispatching) {
    device.Queue().Post(CommandMessage(1));
    device.Queue().Post(CommandMessage(2));
    EXPECT_EQ(TakeOldestMessage()->id, 1);
    EXPECT_EQ(TakeOldestMessage()->id, 2);
    EXPECT_FALSE(TakeOldestMessage().has_value());
}
