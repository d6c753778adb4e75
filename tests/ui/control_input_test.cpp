// Input at a point reaches the control under it: what a tap, a double tap and a hold do to
// each kind of control, and what reaches the window.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/check_box.h"
#include "platform/ui/list_view.h"
#include "platform/ui/toolkit.h"
#include "platform/ui/window.h"
#include "support/test_device.h"

using namespace platform::ui;

namespace {

constexpr int kButton = 11;
constexpr int kDisabled = 12;
constexpr int kHidden = 13;
constexpr int kList = 14;
constexpr int kCheck = 15;
constexpr ControlTemplate kControls[] = {
    {kButton, ControlKind::Button, L"Go", {0, 0, 40, 14}, 0, 0},
    {kDisabled, ControlKind::Button, L"Off", {50, 0, 40, 14}, 0, 0},
    {kHidden, ControlKind::Button, L"Hid", {0, 20, 159, 100}, kStyleHidden, 0},
    {kList, ControlKind::ListView, L"", {0, 20, 159, 100}, kStyleReport, 0},
    {kCheck, ControlKind::CheckBox, L"Keep", {0, 130, 60, 12}, 0, 0},
    {0, ControlKind::Picture, L"", {0, 0, 160, 160}, 0, 0},
};
constexpr DialogTemplate kTemplate{1, L"", L"", 8, 160, 160, kControls, 0};

class Host : public Window {
  public:
    std::vector<int> commands;

    Host() : Window(kTemplate) {
        CreateFromTemplate();
        GetDlgItem(kDisabled)->EnableWindow(false);
        list = ControlAs<ListView>(GetDlgItem(kList));
        list->InsertColumn(0, L"Name", ColumnAlign::Left, 150);
        for (const wchar_t* name : {L"a", L"b", L"c"}) {
            list->InsertItem(-1, name, 0);
        }
    }
    ~Host() override { DestroyHandle(); }
    const char* ClassName() const override { return "Host"; }
    bool OnMessage(const Message& message) override {
        if (message.kind == MessageKind::Command) {
            commands.push_back(message.id);
            return true;
        }
        return Window::OnMessage(message);
    }

    ListView* list = nullptr;
};

template <int id>
Point CentreOf(const Host& host) {
    return host.GetDlgItem(id)->ScreenRect().Centre();
}

template <int row>
Point RowOf(const Host& host) {
    return host.list->RowRect(row).Centre();
}

Point Header(const Host& host) {
    const Rect list = host.list->ScreenRect();
    return {list.x + 4, list.y + 2};
}

Point BesideCheckBox(const Host& host) {
    const Rect box = host.GetDlgItem(kCheck)->ScreenRect();
    return {box.x + box.width + 10, box.Centre().y};
}

}  // namespace

TEST(ControlInput, ATapActsOnTheFirstShownEnabledControlUnderIt) {
    struct Case {
        const char* what;
        Point (*at)(const Host&);
        std::vector<int> commands;
        bool checked;
        int mark;
    };
    const Case cases[] = {
        {"button", CentreOf<kButton>, {kButton}, false, -1},
        {"disabled button", CentreOf<kDisabled>, {}, false, -1},
        {"check box", CentreOf<kCheck>, {}, true, -1},
        {"list row", RowOf<2>, {}, false, 2},
        {"list row under a hidden button", RowOf<1>, {}, false, 1},
        {"list header", Header, {}, false, -1},
        {"picture beside the check box", BesideCheckBox, {}, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::TestDevice device;
        Host host;
        Message tap;
        tap.kind = MessageKind::StylusUp;
        tap.window = host.Handle();
        tap.point = c.at(host);
        host.Dispatch(tap);
        EXPECT_EQ(host.commands, c.commands);
        EXPECT_EQ(ControlAs<CheckBox>(*host.GetDlgItem(kCheck)).GetCheck(), c.checked);
        EXPECT_EQ(host.list->GetSelectionMark(), c.mark);
    }
}

TEST(ControlInput, ListDoubleTapOnARowAndHoldAnywhereNotifyTheWindow) {
    testing_support::TestDevice device;
    Host host;
    ListView& list = *host.list;
    const Point row1 = list.RowRect(1).Centre();
    const Point below = list.RowRect(3).Centre();

    EXPECT_FALSE(list.DoubleTapAt(below)) << "a double tap on empty space does nothing";
    EXPECT_FALSE(TakeOldestMessage().has_value());
    EXPECT_TRUE(list.DoubleTapAt(row1));
    EXPECT_EQ(list.GetSelectionMark(), 1);
    EXPECT_TRUE(list.HoldAt(below));

    const auto expectNotify = [&](int code, int item, Point point) {
        const std::optional<Message> taken = TakeOldestMessage();
        ASSERT_TRUE(taken);
        EXPECT_EQ(taken->kind, MessageKind::Notify);
        EXPECT_EQ(taken->window, host.Handle());
        EXPECT_EQ(taken->control, kList);
        EXPECT_EQ(taken->id, kList);
        EXPECT_EQ(taken->code, code);
        EXPECT_EQ(taken->item, item);
        EXPECT_EQ(taken->point, point);
    };
    expectNotify(kNotifyDoubleTap, 1, row1);
    expectNotify(kNotifyTapAndHold, -1, below);
    EXPECT_FALSE(TakeOldestMessage().has_value());
    EXPECT_EQ(ControlAs<CheckBox>(host.GetDlgItem(kList)), nullptr) << "the checked cast";
}
