// Filling the file list from a device folder: rows, sizes, type codes, and what each of the
// two local listings leaves out.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "filelist/file_list_ctrl.h"
#include "support/test_device.h"

namespace {

using platform::ui::ColumnAlign;

class LocalFill : public ::testing::Test {
  protected:
    LocalFill() {
        list.InsertColumn(0, L"Name", ColumnAlign::Left, 180);
        list.InsertColumn(1, L"Size", ColumnAlign::Right, 40);
        list.InsertColumn(2, L"No", ColumnAlign::Right, 0);
        device.WriteFile("Photos/a.jpg", std::string(1025, 'x'));
        device.WriteFile("Photos/b.txt", std::string(1024, 'x'));
        device.WriteFile("Photos/2003/c.jpg", "c");
        // A pipe: reading it could wait for ever.
        EXPECT_EQ(::mkfifo((device.Root() / "Photos" / "pipe").c_str(), 0600), 0);
    }

    std::wstring Row(int row) const {
        return list.GetItemText(row, 0) + L"|" + list.GetItemText(row, 1) + L"|" +
               list.GetItemText(row, 2);
    }

    testing_support::TestDevice device;
    CFileListCtrl list;
};

TEST_F(LocalFill, FolderListingSkipsPipesAndSockets) {
    list.SetCheck(list.InsertItem(0, L"stale", 0), true);
    list.FillFromDevice(L"\\Photos\\", L"*", CFileListCtrl::SpecialEntries::Skipped);
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(Row(0), L"2003||1");
    EXPECT_EQ(Row(1), L"a.jpg|1KB|2");
    EXPECT_EQ(Row(2), L"b.txt|1024|2");
    EXPECT_EQ(list.GetItemImage(0), kImageFolder);
    EXPECT_EQ(list.GetItemImage(1), kImageFile);
    for (int row = 0; row < 3; ++row) {
        EXPECT_FALSE(list.GetCheck(row));
    }
}

TEST_F(LocalFill, DoubleTapFillListsEveryEntry) {
    list.FillLocalFolder(L"\\Photos\\", L"*");
    ASSERT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(Row(3), L"pipe|0|2");
}

TEST_F(LocalFill, DownloadTemporariesAreNeverListed) {
    // What a run that ended inside a download leaves; and names that only look alike.
    device.WriteFile("Photos/.a.jpg.part-0123456789abcdef", "stale");
    device.WriteFile("Photos/.x.part-0123456789ABCDEF", "upper-case digits: the user's");
    device.WriteFile("Photos/.x.part-0123456789abcde", "fifteen digits: the user's");
    device.WriteFile("Photos/x.part-0123456789abcdef", "no dot first: the user's");
    std::filesystem::create_directory(device.Root() / "Photos" / ".d.part-0123456789abcdef");
    for (const auto special :
         {CFileListCtrl::SpecialEntries::Skipped, CFileListCtrl::SpecialEntries::Listed}) {
        list.FillFromDevice(L"\\Photos\\", L"*", special);
        std::vector<std::wstring> names;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            names.push_back(list.GetItemText(row, 0));
        }
        EXPECT_THAT(names, ::testing::IsSupersetOf(
                               {L".x.part-0123456789ABCDEF", L".x.part-0123456789abcde",
                                L"x.part-0123456789abcdef", L".d.part-0123456789abcdef"}));
        EXPECT_THAT(names, ::testing::Not(::testing::Contains(L".a.jpg.part-0123456789abcdef")));
    }
}

TEST_F(LocalFill, MissingFolderGivesAnEmptyList) {
    list.InsertItem(0, L"stale", 0);
    list.FillFromDevice(L"\\Nowhere\\", L"*", CFileListCtrl::SpecialEntries::Skipped);
    EXPECT_EQ(list.GetItemCount(), 0);
}

}  // namespace
