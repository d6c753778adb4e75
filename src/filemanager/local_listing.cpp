#include "app/globals.h"
#include "filemanager/file_manager_dlg.h"
#include "platform/ui/ui_guards.h"

void CFileManagerDlg::ShowLocalRoot() {
    CWaitCursor wait;
    CListFreeze freeze(m_listFiles);
    GetClientApp()->m_strCurrentView = kViewLocal;
    m_comboPath.ResetContent();
    m_comboPath.InsertString(0, L"My Device");
    m_comboPath.SetCurSel(0);
    ListLocalFolder(L"\\", m_strPattern);
    SortItems(kColumnType, true);
}

void CFileManagerDlg::ListLocalFolder(const std::wstring& strFolder,
                                      const std::wstring& strPattern) {
    m_listFiles.FillFromDevice(strFolder, strPattern, CFileListCtrl::SpecialEntries::Skipped);
}
