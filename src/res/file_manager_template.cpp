#include "res/resource.h"
#include "res/templates.h"
#include "res/toolbar_images.h"

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
    {ID_SHOW_LOCAL, IMG_MY_DEVICE, L"My Device"},
    {ID_SHOW_REMOTE, IMG_STOWBOX, L"Stowbox"},
    {ID_UPLOAD, IMG_UPLOAD, L"Upload Files"},
    {ID_DOWNLOAD, IMG_DOWNLOAD, L"DownLoad Files"},
    {ID_NEW_FOLDER, IMG_NEW_FOLDER, L"Create New Folder"},
    {ID_DELETE, IMG_DELETE, L"Delete Files"},
    {ID_SHARE, IMG_SHARE, L"Share Files"},
    {ID_HELP, IMG_HELP, L""},
    {ID_MOVE, IMG_MOVE, L"Move Files"},
    {ID_EXIT, IMG_EXIT, L""},
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
