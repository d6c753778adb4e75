// The script's taps, double taps and holds on a list go through the list's own hooks, with
// a row outside the shown part scrolled into view first as a person would.

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>
#include <vector>

#include "headless/headless_frontend.h"
#include "platform/device.h"
#include "platform/ui/dialog.h"
#include "platform/ui/list_view.h"
#include "script/script.h"
#include "script/script_player.h"
#include "support/temp_folder.h"

namespace {

using namespace platform::ui;

constexpr int kList = 10;
constexpr int kEnd = 40099;
constexpr int kRows = 30;  // about nine show at a time

constexpr ControlTemplate kControls[] = {
    {kList, ControlKind::ListView, L"", {0, 0, 160, 100}, kStyleReport, 0},
};
constexpr DialogTemplate kTemplate{1, L"Rows", L"Verdana", 8, 160, 120, kControls, 0};

// Records each notification of its list with the list's selection mark at that moment.
class RowsDialog final : public Dialog {
  public:
    RowsDialog() : Dialog(kTemplate) { BindControl(kList, list); }
    const char* ClassName() const override { return "RowsDialog"; }
    bool OnMessage(const Message& message) override {
        if (message.kind == MessageKind::Command && message.id == kEnd) {
            EndDialog(0);
        } else if (message.kind == MessageKind::Notify) {
            notified.emplace_back(message.code, message.item, list.GetSelectionMark());
        }
        return true;
    }
    ListView list;
    std::vector<std::tuple<int, int, int>> notified;  // code, row, selection mark

  protected:
    bool OnInitDialog() override {
        list.InsertColumn(0, L"Name", ColumnAlign::Left, 150);
        for (int row = 0; row < kRows; ++row) {
            list.InsertItem(row, L"row " + std::to_wstring(row), 0);
        }
        return true;
    }
};

TEST(ListGestures, ReachTheListThroughItsHooksWhereverTheRowIs) {
    const auto parsed =
        script::ParseScript("mark 25\nhold 3\ndoubletap 28\nhold none\ncommand 40099\n");
    ASSERT_FALSE(parsed.error) << *parsed.error;
    std::ostringstream transcript;
    script::ScriptPlayer player(parsed.steps, transcript);
    headless::HeadlessFrontend frontend(player);
    testing_support::TempFolder root;
    platform::Device device(frontend, root.Path());
    const platform::ActiveDevice active(device);

    RowsDialog dialog;
    dialog.RunModal();
    const std::vector<std::tuple<int, int, int>> expected = {
        {kNotifyTapAndHold, 3, 25},
        {kNotifyDoubleTap, 28, 28},
        {kNotifyTapAndHold, -1, 28},  // no row: the rows fill the list
    };
    EXPECT_EQ(dialog.notified, expected);
}

}  // namespace
