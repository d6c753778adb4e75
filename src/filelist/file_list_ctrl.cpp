#include "filelist/file_list_ctrl.h"

#include "app/globals.h"
#include "filelist/clipboard.h"
#include "filelist/format_size.h"
#include "filelist/sort_rows.h"
#include "platform/device.h"
#include "platform/fs/file_system.h"
#include "platform/fs/staged_file.h"
#include "platform/ui/menu.h"
#include "platform/ui/window.h"
#include "res/resource.h"
#include "res/templates.h"

using namespace platform::ui;

// Notifications reach this table only when aimed at the list itself; its pop-up menu's
// commands come here and go nowhere else.
const MessageEntry<CFileListCtrl> CFileListCtrl::kMessageMap[] = {
    OnCommand(ID_COPY, &CFileListCtrl::OnCopy),
    OnCommand(ID_CUT, &CFileListCtrl::OnCut),
    OnCommand(ID_PASTE, &CFileListCtrl::OnPaste),
    OnNotify(IDC_FILELIST, kNotifyDoubleTap, &CFileListCtrl::OnDoubleTap),
    OnNotify(IDC_FILELIST, kNotifyTapAndHold, &CFileListCtrl::OnTapAndHold),
    OnCommand(ID_SHARE_FILE_MENU, &CFileListCtrl::OnShareFile),
};

bool CFileListCtrl::OnMessage(const Message& message) {
    return DispatchMessageTable(*this, kMessageMap, message) || ListView::OnMessage(message);
}

bool CFileListCtrl::AllowColumnResize(int nColumn) {
    return nColumn != kColumnType && ListView::AllowColumnResize(nColumn);
}

ComboBox* CFileListCtrl::PathBox() const {
    return Owner() != nullptr ? ControlAs<ComboBox>(Owner()->GetDlgItem(IDC_PATHBOX)) : nullptr;
}

void CFileListCtrl::OnTapAndHold(const Message& message) {
    const std::optional<Menu> menu = Menu::LoadPopup(res::FileListPopupMenu());
    if (!menu) {
        return;
    }
    // The menu opens even over empty space; Cut and Copy then say that nothing was chosen.
    GetClientApp()->m_nClipItem = HitTest(message.point);
    menu->TrackPopup(message.point, *this);
}

void CFileListCtrl::OnCopy() {
    CFileClipboard(*this).Copy();
}

void CFileListCtrl::OnCut() {
    CFileClipboard(*this).Cut();
}

void CFileListCtrl::OnPaste() {
    CFileClipboard(*this).Paste();
}

bool CFileListCtrl::SortByColumn(int nColumn, bool bAscending, int nLow, int nHigh) {
    return SortListRows(*this, nColumn, bAscending, nLow, nHigh);
}

void CFileListCtrl::FillLocalFolder(const std::wstring& strFolder, const std::wstring& strPattern) {
    FillFromDevice(strFolder, strPattern, SpecialEntries::Listed);
}

void CFileListCtrl::FillFromDevice(const std::wstring& strFolder, const std::wstring& strPattern,
                                   SpecialEntries special) {
    using namespace platform::fs;
    DeleteAllItems();
    for (const FindData& found : platform::Device::Current().Files().Find(strFolder + strPattern)) {
        if (special == SpecialEntries::Skipped &&
            (found.attributes == kAttrInRom || found.attributes == kAttrSystem)) {
            continue;
        }
        if ((found.attributes & kAttrDirectory) == 0 &&
            platform::fs::IsStagingFileName(found.name)) {
            continue;  // left by a download that never ended: not the user's file
        }
        AddRow(found.name, (found.attributes & kAttrDirectory) != 0, found.sizeLow);
    }
}

int CFileListCtrl::AddRow(const std::wstring& strName, bool bFolder, std::uint32_t nSize) {
    // The sorted style puts the row in name order, whatever position is asked for.
    const int row = InsertItem(GetItemCount(), strName, bFolder ? kImageFolder : kImageFile);
    if (row < 0) {
        return row;
    }
    SetCheck(row, false);
    if (!bFolder) {
        SetItemText(row, kColumnSize, FormatSize(nSize));
    }
    SetItemText(row, kColumnType, bFolder ? kTypeFolder : kTypeFile);
    return row;
}
