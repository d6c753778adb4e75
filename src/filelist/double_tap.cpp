// Double tap: a folder row opens that folder, one level deeper in the path box.

#include "app/globals.h"
#include "filelist/file_list_ctrl.h"
#include "filelist/path_box.h"
#include "filelist/remote_folder.h"
#include "platform/ui/ui_guards.h"

void CFileListCtrl::OnDoubleTap() {
    CWaitCursor wait;
    const int row = GetSelectionMark();
    const std::wstring name = GetItemText(row, kColumnName);
    const std::wstring type = GetItemText(row, kColumnType);
    platform::ui::ComboBox* box = PathBox();
    if (type != kTypeFolder || box == nullptr) {
        return;  // a file: nothing opens
    }
    CListFreeze freeze(*this);
    const int count = box->GetCount();
    // The path box gains the level before the folder is read; on the server whatever it
    // answers: a refused CWD lists the folder the session stayed in.
    box->InsertString(count, PathBoxEntry(count, name));
    if (GetClientApp()->m_strCurrentView == kViewLocal) {
        FillLocalFolder(PathFromEntries(*box, count, L'\\') + L"\\", L"*");
        SortByColumn(kColumnType, true);
    } else {
        std::wstring listing;
        if (!ChangeFolderAndList(L"CWD " + name, listing)) {
            box->DeleteString(count);  // the folder was not opened; the rows stay
            return;
        }
        ShowListing(listing, ListingSizes::FromLines);
    }
    box->SetCurSel(count);
}
