#include "res/resource.h"
#include "res/templates.h"

namespace res {

using namespace platform::ui;

namespace {
// The template's other controls (a tree, two more lists, a combo box, two edits) are hidden or
// outside the screen and take no part in anything; they are left out.
constexpr ControlTemplate kFileManagerControls[] = {
    {IDC_PATHBOX, ControlKind::ComboBox, L"", {0, 0, 158, 80}, kStyleDropDownList, 0},
    {IDC_FILELIST,
     ControlKind::ListView,
     L"",
     {0, 11, 159, 143},
     kStyleReport | kStyleSortAscending,
     0},
    {IDC_PROGRESS, ControlKind::ProgressBar, L"", {4, 156, 108, 9}, 0, 0},
    {IDC_CANCEL_TRANSFER, ControlKind::Button, L"CANCEL", {115, 154, 41, 12}, 0, 0},
};
constexpr DialogTemplate kFileManager{
    IDD_FILEMANAGER, L"", L"Verdana", 8, 198, 177, kFileManagerControls, IDB_MAIN_BACKGROUND};

constexpr CommandBarButtonTemplate kToolbar[] = {
    {ID_SHOW_LOCAL, 0, L"My Device"},
    {ID_SHOW_REMOTE, 1, L"Stowbox"},
    {ID_UPLOAD, 2, L"Upload Files"},
    {ID_DOWNLOAD, 3, L"DownLoad Files"},
    {ID_NEW_FOLDER, 4, L"Create New Folder"},
    {ID_DELETE, 5, L"Delete Files"},
    {ID_SHARE, 6, L"Share Files"},
    {ID_HELP, 7, L""},
    {ID_MOVE, 8, L"Move Files"},
    {ID_EXIT, 9, L""},
};

constexpr MenuItemTemplate kPopupItems[] = {
    {ID_CUT, L"Cut"},
    {0, L""},
    {ID_COPY, L"Copy"},
    {0, L""},
    {ID_PASTE, L"Paste"},
    {0, L""},
    {ID_SHARE_FILE_MENU, L"Share File"},
};
constexpr MenuTemplate kPopup{IDR_POPUP, L"POP UP", kPopupItems};
}  // namespace

const DialogTemplate& FileManagerDialog() {
    return kFileManager;
}
const MenuTemplate& FileListPopupMenu() {
    return kPopup;
}
std::span<const CommandBarButtonTemplate> FileManagerToolbar() {
    return kToolbar;
}

}  // namespace res
