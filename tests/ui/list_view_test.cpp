// The list view model: sorted insertion, whole-row swaps, hit tests, change announcements.

#include <gtest/gtest.h>

#include <vector>

#include "platform/device.h"
#include "platform/ui/check_box.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/list_view.h"
#include "platform/ui/window.h"
#include "support/test_device.h"

using namespace platform::ui;

namespace {

constexpr ControlTemplate kSorted{
    5, ControlKind::ListView, L"", {0, 11, 159, 143}, kStyleReport | kStyleSortAscending, 0};
constexpr ControlTemplate kPlain{6, ControlKind::ListView, L"", {0, 11, 159, 143}, kStyleReport, 0};
constexpr ControlTemplate kCombo{8, ControlKind::ComboBox, L"", {0, 0, 100, 50}, 0, 0};
constexpr ControlTemplate kCheck{9, ControlKind::CheckBox, L"Keep", {0, 160, 60, 12}, 0, 0};
constexpr ControlTemplate kControls[] = {kSorted, kPlain, kCombo, kCheck};
constexpr DialogTemplate kTemplate{1, L"", L"", 8, 200, 200, kControls, 0};

class Host : public Window {
  public:
    Host() : Window(kTemplate) {}
    ~Host() override { DestroyHandle(); }
    const char* ClassName() const override { return "Host"; }
    using Window::CreateFromTemplate;
};

std::vector<std::wstring> Names(const ListView& list) {
    std::vector<std::wstring> names;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        names.push_back(list.GetItemText(i, 0));
    }
    return names;
}

}  // namespace

TEST(ListView, SortedStylePlacesRowsByNameWhateverIndexIsAsked) {
    Host host;
    ListView list;
    list.Attach(host, kSorted);
    list.InsertColumn(0, L"Name", ColumnAlign::Left, 180);
    EXPECT_EQ(list.InsertItem(0, L"delta", 1), 0);
    EXPECT_EQ(list.InsertItem(0, L"Bravo", 1), 0);
    EXPECT_EQ(list.InsertItem(0, L"charlie", 0), 1);
    EXPECT_EQ(list.InsertItem(5, L"alpha", 0), 0);
    EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"alpha", L"Bravo", L"charlie", L"delta"}));

    ListView plain;
    plain.Attach(host, kPlain);
    plain.InsertColumn(0, L"Name", ColumnAlign::Left, 180);
    plain.InsertItem(0, L"b", 0);
    plain.InsertItem(0, L"a", 0);
    plain.InsertItem(9, L"c", 0);
    EXPECT_EQ(Names(plain), (std::vector<std::wstring>{L"a", L"b", L"c"}));
}

TEST(ListView, SwapExchangesTextsImageDataAndState) {
    Host host;
    ListView list;
    list.Attach(host, kPlain);
    list.InsertColumn(0, L"Name", ColumnAlign::Left, 180);
    list.InsertColumn(1, L"Size", ColumnAlign::Right, 40);
    list.InsertItem(0, L"first", 0);
    list.InsertItem(1, L"second", 1);
    list.SetItemText(1, 1, L"2KB");
    list.SetCheck(1, true);
    list.SetItemData(1, 42);
    list.SelectRow(1);

    list.SwapRows(0, 1);

    EXPECT_EQ(list.GetItemText(0, 0), L"second");
    EXPECT_EQ(list.GetItemText(0, 1), L"2KB");
    EXPECT_EQ(list.GetItemImage(0), 1);
    EXPECT_TRUE(list.GetCheck(0));
    EXPECT_EQ(list.GetItemData(0), 42);
    EXPECT_NE(list.GetItemState(0) & kStateSelected, 0u);
    EXPECT_FALSE(list.GetCheck(1));
    EXPECT_EQ(list.GetItemState(1) & kStateSelected, 0u);
}

TEST(ListView, HitTestFindsRowsBelowTheHeaderAndNothingElse) {
    Host host;
    ListView list;
    list.Attach(host, kPlain);
    list.InsertColumn(0, L"Name", ColumnAlign::Left, 180);
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        list.InsertItem(-1, name, 1);
    }
    EXPECT_EQ(list.HitTest(list.RowRect(2).Centre()), 2);
    EXPECT_EQ(list.HitTest(list.RowRect(3).Centre()), -1);  // empty space below the rows
    const Rect area = DialogRectToScreen(kPlain.rect);
    EXPECT_EQ(list.HitTest({area.x + 2, area.y + 2}), -1);  // the header
    EXPECT_EQ(list.HitTest({area.x + area.width + 5, list.RowRect(0).Centre().y}), -1);
}

TEST(ListView, BulkChangesWithRedrawOffAreAnnouncedOnce) {
    Host host;
    ListView list;
    list.Attach(host, kPlain);
    list.InsertColumn(0, L"Name", ColumnAlign::Left, 180);
    std::vector<ControlChange::What> seen;
    list.SetObserver([&](const ControlChange& change) { seen.push_back(change.what); });
    list.SetRedraw(false);
    for (int i = 0; i < 100; ++i) {
        list.InsertItem(-1, L"row", 1);
        list.SetCheck(i, true);
    }
    list.SetRedraw(true);
    EXPECT_EQ(seen, (std::vector<ControlChange::What>{ControlChange::What::Reset}));
}

TEST(ListView, InsertAtOrBeforeTheSelectionMarkMovesItAlong) {
    Host host;
    ListView list;
    list.Attach(host, kPlain);
    list.InsertColumn(0, L"Name", ColumnAlign::Left, 180);
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        list.InsertItem(-1, name, 0);
    }
    list.SelectRow(1);
    list.InsertItem(2, L"after", 0);  // behind the mark: it stays
    EXPECT_EQ(list.GetSelectionMark(), 1);
    list.InsertItem(1, L"at", 0);  // at the mark: the marked row moves down
    EXPECT_EQ(list.GetSelectionMark(), 2);
    list.InsertItem(0, L"before", 0);
    EXPECT_EQ(list.GetSelectionMark(), 3);
    EXPECT_EQ(list.GetItemText(list.GetSelectionMark(), 0), L"b");
}

TEST(CheckBox, EachTapOnItTogglesItAndTapsBesideItDoNot) {
    testing_support::TestDevice device;
    Host host;
    host.CreateFromTemplate();
    auto* box = dynamic_cast<CheckBox*>(host.GetDlgItem(kCheck.id));
    ASSERT_NE(box, nullptr);
    const auto tapAt = [&](Point point) {
        Message tap;
        tap.kind = MessageKind::StylusUp;
        tap.window = host.Handle();
        tap.point = point;
        host.Dispatch(tap);
    };
    const Rect area = DialogRectToScreen(kCheck.rect);
    EXPECT_FALSE(box->GetCheck());
    tapAt(area.Centre());
    EXPECT_TRUE(box->GetCheck());
    tapAt({area.x + area.width + 4, area.Centre().y});
    EXPECT_TRUE(box->GetCheck());
    tapAt(area.Centre());
    EXPECT_FALSE(box->GetCheck());
}

TEST(ComboBox, InsertsAtPositionsAndKeepsTheSelectionOnItsEntry) {
    Host host;
    ComboBox combo;
    combo.Attach(host, kCombo);
    EXPECT_EQ(combo.InsertString(0, L"Stowbox"), 0);
    EXPECT_EQ(combo.InsertString(1, L"**  My Device on Stowbox"), 1);
    EXPECT_EQ(combo.InsertString(5, L"out of range"), -1);
    combo.SetCurSel(1);
    combo.InsertString(0, L"top");
    EXPECT_EQ(combo.GetCurSel(), 2);
    combo.DeleteString(2);
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_EQ(combo.GetLBText(7), L"");
}
