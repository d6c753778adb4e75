#include "app/globals.h"
#include "filelist/path_box.h"
#include "filemanager/file_manager_dlg.h"
#include "platform/ui/ui_guards.h"

void CFileManagerDlg::ListRemoteFolder() {
    CWaitCursor wait;
    CListFreeze freeze(m_listFiles);
    ResetToRemoteRoot(m_comboPath);
    m_listFiles.DeleteAllItems();
    CClientApp* app = GetClientApp();
    app->m_strCurrentView = kViewRemote;
    app->m_strRemoteDir = g_ftp.GetCurrentDir();
    // A refused LIST leaves the text as it was; starting empty keeps another folder's rows
    // from being shown as this one's.
    app->m_strRemoteListing.clear();
    g_ftp.List(app->m_strRemoteDir, app->m_strRemoteListing);
    if (!app->m_strRemoteListing.empty()) {
        AddListingRows(app->m_strRemoteListing);
        SortItems(kColumnType, true);
    }
    m_comboPath.SetCurSel(1);
}

void CFileManagerDlg::AddListingRows(const std::wstring& strListing) {
    m_listFiles.AddListingRows(strListing);
}
