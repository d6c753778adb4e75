#include "app/globals.h"
#include "filelist/path_box.h"
#include "filemanager/file_manager_dlg.h"
#include "platform/ui/ui_guards.h"

bool CFileManagerDlg::ListRemoteFolder() {
    CWaitCursor wait;
    // The PWD goes out with the LIST's own commands, and its answer is read with theirs.
    g_ftp.SendCurrentDirAhead();
    // A refused LIST leaves the text as it was; starting empty keeps another folder's rows
    // from being shown as this one's.
    std::wstring strListing;
    g_ftp.List(std::wstring(), strListing);
    const std::wstring strFolder = g_ftp.CurrentDirAhead();
    if (g_ftp.IsConnectionLost()) {
        return false;  // an unread folder must not look empty
    }
    CListFreeze freeze(m_listFiles);
    ResetToRemoteRoot(m_comboPath);
    CClientApp* app = GetClientApp();
    app->m_strCurrentView = kViewRemote;
    app->m_strRemoteDir = strFolder;
    app->m_strRemoteListing = strListing;
    m_listFiles.ShowListing(strListing, CFileListCtrl::ListingSizes::AskServer);
    m_comboPath.SetCurSel(1);
    return true;
}
