#include "app/globals.h"
#include "dialogs/share_file_dlg.h"
#include "filemanager/file_manager_dlg.h"
#include "platform/ui/application.h"

void CFileManagerDlg::OnShareFiles() {
    // The marked row is the one shared; ticks play no part here.
    CClientApp* app = GetClientApp();
    app->m_strShareName = m_listFiles.GetItemText(m_listFiles.GetSelectionMark(), kColumnName);
    if (app->m_strShareName.empty()) {
        platform::ui::AppMessageBox(L"Select a file to share");
        return;
    }
    g_strOpenRemote = kTextTrue;
    CShareFileDlg dlg;
    dlg.RunModal();
}
