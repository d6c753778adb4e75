// The row quicksort: the exact order it leaves, whole-row swaps, and the ranges it refuses.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filelist/sort_rows.h"
#include "platform/ui/list_view.h"

namespace {

using platform::ui::ColumnAlign;
using platform::ui::ListView;

struct Entry {
    std::wstring name;
    std::wstring type;
};

// A list without the sorted style: rows stay where they are inserted.
class SortRows : public ::testing::Test {
  protected:
    SortRows() {
        list.InsertColumn(0, L"Name", ColumnAlign::Left, 180);
        list.InsertColumn(1, L"Size", ColumnAlign::Right, 40);
        list.InsertColumn(2, L"No", ColumnAlign::Right, 0);
    }

    void Fill(const std::vector<Entry>& entries) {
        for (const Entry& entry : entries) {
            const int row = list.InsertItem(list.GetItemCount(), entry.name, 0);
            list.SetItemText(row, 2, entry.type);
        }
    }

    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            names.push_back(list.GetItemText(row, 0));
        }
        return names;
    }

    ListView list;
};

// Names in name order with folders ("1") and files ("2") mixed, as a listing inserts them.
const std::vector<Entry> kListing = {{L"alpha", L"2"},   {L"beta", L"1"},  {L"delta", L"2"},
                                     {L"epsilon", L"1"}, {L"gamma", L"2"}, {L"kappa", L"1"},
                                     {L"lambda", L"2"}};

TEST_F(SortRows, ByTypePutsFoldersFirstInTheProceduresOwnOrder) {
    Fill(kListing);
    EXPECT_TRUE(SortListRows(list, 2, true));
    // Not stable: neither the folders nor the files keep their name order.
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"kappa", L"beta", L"epsilon", L"delta", L"gamma",
                                                  L"alpha", L"lambda"}));
}

TEST_F(SortRows, ByNameDescendingAndAscending) {
    Fill(kListing);
    EXPECT_TRUE(SortListRows(list, 0, false));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"lambda", L"kappa", L"gamma", L"epsilon",
                                                  L"delta", L"beta", L"alpha"}));
    EXPECT_TRUE(SortListRows(list, 0, true));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"alpha", L"beta", L"delta", L"epsilon", L"gamma",
                                                  L"kappa", L"lambda"}));
}

TEST_F(SortRows, ComparesCodeUnitsCaseSensitively) {
    Fill({{L"b", L"2"}, {L"B", L"2"}, {L"a", L"2"}, {L"A", L"2"}});
    SortListRows(list, 0, true);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A", L"B", L"a", L"b"}));
}

TEST_F(SortRows, SwapsWholeRowsWithStateAndCheckBox) {
    Fill({{L"file", L"2"}, {L"folder", L"1"}});
    list.SetItemText(0, 1, L"1KB");
    list.SetCheck(0, true);
    list.SetItemData(0, 42);
    list.SetItemState(0, platform::ui::kStateSelected);

    EXPECT_TRUE(SortListRows(list, 2, true));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"folder", L"file"}));
    EXPECT_FALSE(list.GetCheck(0));
    EXPECT_EQ(list.GetItemState(0), 0u);
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_EQ(list.GetItemText(1, 1), L"1KB");
    EXPECT_EQ(list.GetItemData(1), 42);
    EXPECT_EQ(list.GetItemState(1), platform::ui::kStateSelected);
}

TEST_F(SortRows, RefusesMissingColumnsAndShortRanges) {
    EXPECT_FALSE(SortListRows(list, 2, true));  // empty
    Fill({{L"only", L"2"}});
    EXPECT_FALSE(SortListRows(list, 2, true));
    Fill({{L"a", L"1"}});
    EXPECT_FALSE(SortListRows(list, 3, true));
    EXPECT_FALSE(SortListRows(list, 2, true, 1, 1));
    EXPECT_FALSE(SortListRows(list, 2, true, 0, 5));  // beyond the last row
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"only", L"a"}));
    EXPECT_TRUE(SortListRows(list, 2, true, 0, 1));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a", L"only"}));
}

TEST_F(SortRows, LargeListsWithManyEqualKeysEndSorted) {
    for (int i = 0; i < 20000; ++i) {
        Fill({{std::to_wstring(i % 2 == 0 ? i : 20000 - i), i % 3 == 0 ? L"1" : L"2"}});
    }
    EXPECT_TRUE(SortListRows(list, 2, true));
    for (int row = 1; row < list.GetItemCount(); ++row) {
        ASSERT_LE(list.GetItemText(row - 1, 2), list.GetItemText(row, 2));
    }
    EXPECT_TRUE(SortListRows(list, 0, true));
    for (int row = 1; row < list.GetItemCount(); ++row) {
        ASSERT_LE(list.GetItemText(row - 1, 0), list.GetItemText(row, 0));
    }
}

}  // namespace
