// MOVE FILE and CANCEL of the move file dialog: both end in a fresh file manager window.

#include "app/globals.h"
#include "dialogs/move_file_dlg.h"
#include "filemanager/file_manager_dlg.h"

void CMoveFileDlg::OnMoveFile() {
    const std::wstring shown = g_ftp.GetCurrentDir();
    const int row = m_listFolders.GetSelectionMark();
    // Without a selected row the destination is the folder shown itself.
    const std::wstring text =
        row >= 0 && row < m_listFolders.GetItemCount() ? m_listFolders.GetItemText(row, 0) : L"";
    const std::wstring folder = text.empty() ? text : text.substr(1);

    CClientApp* app = GetClientApp();
    const std::wstring names = app->m_strMoveFiles;
    // Used once: a later move must not rename these files again.
    app->m_strMoveFiles.clear();
    std::size_t position = 0;
    for (std::size_t separator = names.find(kMoveNameSeparator, position);
         separator != std::wstring::npos; separator = names.find(kMoveNameSeparator, position)) {
        const std::wstring name = names.substr(position, separator - position);
        position = separator + kMoveNameSeparator.size();
        // An empty name would make the source path the source folder itself.
        if (name.empty()) {
            continue;
        }
        // Refusals are not reported; the next name is tried.
        g_ftp.Rename(app->m_strMoveDir + L"//" + name, shown + L"//" + folder + L"//" + name);
    }
    HandOver();
}

void CMoveFileDlg::OnCancel() {
    GetClientApp()->m_strMoveFiles.clear();
    HandOver();
}

void CMoveFileDlg::HandOver() {
    {
        CFileManagerDlg fileManager;
        fileManager.RunModal();
    }
    DestroyWindow();
}
