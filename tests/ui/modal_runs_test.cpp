// Nested modal runs, quit unwinding, message tables and the wait cursor.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/message_map.h"
#include "platform/ui/toolkit.h"
#include "support/test_device.h"

using namespace platform::ui;

namespace {

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
    void QueueCommands(std::initializer_list<int> ids) {
        for (const int id : ids) {
            frontend.QueueInput(CommandMessage(id));
        }
    }

    testing_support::TestDevice test;
    testing_support::TestFrontend& frontend = test.Frontend();
    platform::Device& device = test.Device();
    std::vector<std::string> log;
};

}  // namespace

TEST_F(ModalRuns, QuitInTheInnermostRunEndsEveryRunAndEachOpenerDestroysItself) {
    QueueCommands({100, 100, 200});
    Nesting top("Top", 0, log);
    top.RunModal();

    EXPECT_EQ(log, (std::vector<std::string>{"Child resumed", "Top resumed"}));
    EXPECT_EQ(
        frontend.WindowEvents(),
        (std::vector<std::string>{"created Top", "created Child", "created Grandchild",
                                  "destroyed Grandchild", "destroyed Child", "destroyed Top"}));
    EXPECT_TRUE(device.Windows().empty());
}

TEST_F(ModalRuns, MessagesGoToTheInnermostWindowAndATapOnAButtonPressesIt) {
    Message tap;
    tap.kind = MessageKind::StylusUp;
    tap.point = DialogRectToScreen(kControls[0].rect).Centre();
    QueueCommands({100});
    frontend.QueueInput(tap);
    QueueCommands({200});
    Nesting top("Top", 0, log);
    top.RunModal();
    EXPECT_EQ(log.front(), "Child go");
}

TEST_F(ModalRuns, CancelCommandEndsADialogThroughItsCancelHandler) {
    QueueCommands({kIdCancel});
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
    EXPECT_EQ(frontend.WaitCursorChanges(), 2);  // shown once, hidden once
}

TEST_F(ModalRuns, TakeOldestMessageTakesWithoutDispatching) {
    device.Queue().Post(CommandMessage(1));
    device.Queue().Post(CommandMessage(2));
    EXPECT_EQ(TakeOldestMessage()->id, 1);
    EXPECT_EQ(TakeOldestMessage()->id, 2);
    EXPECT_FALSE(TakeOldestMessage().has_value());
}
