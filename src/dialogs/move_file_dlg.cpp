#include "dialogs/move_file_dlg.h"

#include "app/connection_notice.h"
#include "app/globals.h"
#include "filelist/listing_line.h"
#include "filelist/path_box.h"
#include "filelist/remote_folder.h"
#include "ftp/remote_root.h"
#include "platform/ui/ui_guards.h"
#include "res/resource.h"
#include "res/templates.h"

using namespace platform::ui;

namespace {

constexpr int kColumnFolderName = 0;

// The folder name of a path box entry: after its first blank, without the blank that
// follows (the remote root's entry has two, a folder's entry takes its row's blank).
std::wstring EntryFolderName(const std::wstring& strEntry) {
    const std::wstring rest = PathEntryName(strEntry);
    return rest.empty() ? rest : rest.substr(1);
}

// The path to change to when entry nChosen is chosen: "//" for the account's top, the remote
// root without a final "/", a deeper level with one.
std::wstring ChosenFolderPath(const ComboBox& box, int nChosen) {
    if (nChosen <= 0) {
        return L"//";
    }
    std::wstring path;
    for (int i = 1; i <= nChosen; ++i) {
        path += L"/" + EntryFolderName(box.GetLBText(i));
    }
    return nChosen == 1 ? path : path + L"/";
}

}  // namespace

const MessageEntry<CMoveFileDlg> CMoveFileDlg::kMessageMap[] = {
    OnNotify(IDC_MOVE_FOLDERLIST, kNotifyDoubleTap, &CMoveFileDlg::OnFolderDoubleTap),
    OnNotify(IDC_MOVE_PATHBOX, kNotifySelChange, &CMoveFileDlg::OnPathSelChange),
    OnCommand(IDC_MOVE_FILE, &CMoveFileDlg::OnMoveFile),
    OnCommand(IDC_MOVE_CANCEL, &CMoveFileDlg::OnCancelButton),
};

CMoveFileDlg::CMoveFileDlg() : Dialog(res::MoveFileDialog()) {
    BindControl(IDC_MOVE_PATHBOX, m_comboPath);
    BindControl(IDC_MOVE_FOLDERLIST, m_listFolders);
}

bool CMoveFileDlg::OnMessage(const Message& message) {
    const bool handled =
        DispatchMessageTable(*this, kMessageMap, message) || Dialog::OnMessage(message);
    // A step that met a lost connection without a failure of its own to show says so now.
    ReportConnectionNotice();
    return handled;
}

bool CMoveFileDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    CommonDialogSetUp();
    m_pLargeImages = std::make_unique<ImageList>(32, 32, 2, 4);
    m_pSmallImages = std::make_unique<ImageList>(16, 16, 2, 4);
    m_pLargeImages->Add(IDI_FOLDER);
    m_pSmallImages->Add(IDI_FOLDER);
    m_listFolders.SetImageLists(m_pLargeImages.get(), m_pSmallImages.get());
    m_listFolders.InsertColumn(kColumnFolderName, L"Name", ColumnAlign::Left, 200);
    ShowRootFolders();
    return true;
}

void CMoveFileDlg::ShowRootFolders() {
    CWaitCursor wait;
    CListFreeze freeze(m_listFolders);
    ResetToRemoteRoot(m_comboPath);
    // No reply is examined, nor a lost connection: the dialog shows what it could read.
    std::wstring listing;
    ChangeFolderAndList(std::wstring(L"CWD //") + kRemoteRootName, listing);
    ShowFolderRows(listing);
    if (!listing.empty()) {
        m_comboPath.SetCurSel(1);
    }
}

void CMoveFileDlg::AddFolderRows(const std::wstring& strListing) {
    ForEachListingLine(strListing, [this](const std::wstring& line) {
        if (IsFolderLine(line)) {
            m_listFolders.InsertItem(m_listFolders.GetItemCount(), ListingNameText(line),
                                     kImageFolder);
        }
    });
}

void CMoveFileDlg::ShowFolderRows(const std::wstring& strListing) {
    m_listFolders.DeleteAllItems();
    AddFolderRows(strListing);
}

void CMoveFileDlg::OnFolderDoubleTap() {
    CWaitCursor wait;
    const int row = m_listFolders.GetSelectionMark();
    if (row < 0 || row >= m_listFolders.GetItemCount()) {
        return;  // a double tap beside the rows names no folder
    }
    const std::wstring text = m_listFolders.GetItemText(row, kColumnFolderName);
    const int count = m_comboPath.GetCount();
    m_comboPath.InsertString(count, PathBoxEntry(count, text));
    // The row's own blank separates the command word from the name.
    std::wstring listing;
    ChangeFolderAndList(L"CWD" + text, listing);
    CListFreeze freeze(m_listFolders);
    ShowFolderRows(listing);
    m_comboPath.SetCurSel(count);
}

void CMoveFileDlg::OnPathSelChange() {
    CWaitCursor wait;
    const int chosen = m_comboPath.GetCurSel();
    if (chosen < 0) {
        return;
    }
    std::wstring listing;
    ChangeFolderAndList(L"CWD " + ChosenFolderPath(m_comboPath, chosen), listing);
    if (listing.empty()) {
        // Nothing to show: the list and the deeper entries stay as they were.
        m_comboPath.SetCurSel(chosen);
        return;
    }
    CListFreeze freeze(m_listFolders);
    ShowFolderRows(listing);
    for (int i = m_comboPath.GetCount() - 1; i > chosen; --i) {
        m_comboPath.DeleteString(i);
    }
    m_comboPath.SetCurSel(chosen);
}
