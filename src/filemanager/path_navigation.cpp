#include "app/globals.h"
#include "filelist/path_box.h"
#include "filelist/remote_folder.h"
#include "filemanager/file_manager_dlg.h"
#include "platform/ui/ui_guards.h"

namespace {

// The device folder that path box entries 1 to nChosen spell: "\Photos\2003\".
std::wstring LocalFolderPath(const platform::ui::ComboBox& box, int nChosen) {
    if (nChosen <= 0) {
        return L"\\";
    }
    return PathFromEntries(box, nChosen, L'\\') + L"\\";
}

// The remote folder they spell: "/My Device on Stowbox" for entry 1 alone, deeper levels with
// a final "/". The blanks that indent the remote root's entry are not part of its name.
std::wstring RemoteFolderPath(const platform::ui::ComboBox& box, int nChosen) {
    if (nChosen <= 0) {
        return L"//";  // the account's top folder
    }
    const std::wstring path = PathFromEntries(box, nChosen, L'/', true);
    return nChosen == 1 ? path : path + L"/";
}

}  // namespace

void CFileManagerDlg::OnPathSelChange() {
    CWaitCursor wait;
    CListFreeze freeze(m_listFiles);
    const int chosen = m_comboPath.GetCurSel();
    const int count = m_comboPath.GetCount();
    const std::wstring& view = GetClientApp()->m_strCurrentView;
    if (view == kViewLocal) {
        ListLocalFolder(LocalFolderPath(m_comboPath, chosen), m_strPattern);
        SortItems(kColumnType, true);
    } else if (view == kViewRemote) {
        std::wstring listing;
        if (!ChangeFolderAndList(L"CWD " + RemoteFolderPath(m_comboPath, chosen), listing)) {
            m_comboPath.SetCurSel(count - 1);  // the folder shown stays, rows and path alike
            return;
        }
        m_listFiles.ShowListing(listing, CFileListCtrl::ListingSizes::AskServer);
    } else {
        return;
    }
    if (chosen != -1) {
        for (int i = count - 1; i > chosen; --i) {
            m_comboPath.DeleteString(i);
        }
    }
    m_comboPath.SetCurSel(chosen);
}
