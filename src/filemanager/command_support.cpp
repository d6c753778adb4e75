// What the download, upload and delete commands share: the checked rows, the toolbar
// buttons they lock, the progress bar.

#include "filemanager/file_manager_dlg.h"
#include "res/resource.h"

int CFileManagerDlg::CountCheckedRows() const {
    int count = 0;
    for (int row = 0; row < m_listFiles.GetItemCount(); ++row) {
        if (m_listFiles.GetCheck(row)) {
            ++count;
        }
    }
    return count;
}

void CFileManagerDlg::UncheckAllRows() {
    for (int row = 0; row < m_listFiles.GetItemCount(); ++row) {
        if (m_listFiles.GetCheck(row)) {
            m_listFiles.SetCheck(row, false);
        }
    }
}

void CFileManagerDlg::EnableButtons(std::initializer_list<int> ids, bool bEnable) {
    for (int id : ids) {
        GetCommandBar().EnableButton(id, bEnable);
    }
}

void CFileManagerDlg::SetProgressNow(int nPosition) {
    m_progress.SetPos(nPosition);
    UpdateWindow(IDC_PROGRESS);
}
