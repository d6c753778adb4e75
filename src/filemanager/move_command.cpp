// The move command: hands the checked files to the move file dialog.

#include "app/globals.h"
#include "dialogs/move_file_dlg.h"
#include "filelist/path_box.h"
#include "filemanager/file_manager_dlg.h"

void CFileManagerDlg::OnMove() {
    // Set before anything else: the next window opens in the Remote view even when nothing
    // is moved now.
    g_strOpenRemote = kTextTrue;
    if (CountCheckedRows() == 0) {
        platform::ui::AppMessageBox(L"Select a File to move");
        return;
    }
    CClientApp* app = GetClientApp();
    for (int row = 0; row < m_listFiles.GetItemCount(); ++row) {
        if (!m_listFiles.GetCheck(row)) {
            continue;
        }
        const std::wstring name = TrimLeadingBlanks(m_listFiles.GetItemText(row, kColumnName));
        if (name.find(kMoveNameSeparator) != std::wstring::npos) {
            // The dialog would split it at the separator and move another file instead.
            platform::ui::AppMessageBox(L"Cannot move " + name +
                                        L": its name holds the characters ~`");
            continue;
        }
        app->m_strMoveFiles += name;
        app->m_strMoveFiles += kMoveNameSeparator;
    }
    app->m_strMoveDir = g_ftp.GetCurrentDir() + L"/";
    {
        // It opens the next file manager window itself, before its run returns.
        CMoveFileDlg dlg;
        dlg.RunModal();
    }
    DestroyWindow();
}
