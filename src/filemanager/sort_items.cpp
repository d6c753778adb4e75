#include "filelist/sort_rows.h"
#include "filemanager/file_manager_dlg.h"

bool CFileManagerDlg::SortItems(int nColumn, bool bAscending, int nLow, int nHigh) {
    return SortListRows(m_listFiles, nColumn, bAscending, nLow, nHigh);
}
