// The delete command: checked remote files and empty remote folders, after one question.

#include "app/connection_notice.h"
#include "app/globals.h"
#include "filemanager/file_manager_dlg.h"
#include "platform/ui/ui_guards.h"

using namespace platform::ui;

void CFileManagerDlg::OnDelete() {
    if (CountCheckedRows() == 0) {
        AppMessageBox(L"Select a File or a Folder to delete");
        return;
    }
    if (AppMessageBox(L"Do You Want To Delete The Selected Files and Folders",
                      MessageBoxButtons::YesNo, MessageBoxIcon::Stop) != MessageBoxAnswer::Yes) {
        return;
    }
    {
        CWaitCursor wait;
        for (int row = 0; row < m_listFiles.GetItemCount(); ++row) {
            if (!m_listFiles.GetCheck(row)) {
                continue;
            }
            const std::wstring type = m_listFiles.GetItemText(row, kColumnType);
            const std::wstring name = m_listFiles.GetItemText(row, kColumnName);
            if (type == kTypeFile) {
                // A failing DELE is silent: the refreshed list still shows the file.
                g_ftp.SendAndRead(L"DELE " + name);
            } else if (type == kTypeFolder && !g_ftp.RemoveDir(name)) {
                ShowStepFailure(L"Directory is not empty");
            }
        }
        UncheckAllRows();
    }
    ListRemoteFolder();
}
