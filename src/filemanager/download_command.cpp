// The download command: the checked rows of the remote folder go to the device's top folder.

#include <initializer_list>
#include <optional>
#include <string>

#include "app/connection_notice.h"
#include "app/globals.h"
#include "filemanager/file_manager_dlg.h"
#include "platform/ui/ui_guards.h"
#include "res/resource.h"

using namespace platform::ui;

namespace {
// Locked while the files come in: the views, the transfers, new folder, delete and move.
constexpr std::initializer_list<int> kDownloadLocks = {ID_SHOW_LOCAL, ID_SHOW_REMOTE, ID_DOWNLOAD,
                                                       ID_NEW_FOLDER, ID_DELETE,      ID_MOVE};
}  // namespace

void CFileManagerDlg::OnDownload() {
    std::optional<CWaitCursor> wait(std::in_place);
    if (CountCheckedRows() == 0) {
        AppMessageBox(L"Select a file for Download");
        return;
    }
    EnableButtons(kDownloadLocks, false);
    UpdateWindow(0);
    m_progress.SetRange(0, CountCheckedRows());
    m_progress.SetPos(0);

    int done = 0;
    for (int row = 0; row < m_listFiles.GetItemCount(); ++row) {
        if (!m_listFiles.GetCheck(row)) {
            continue;
        }
        // The bare name lands in the device's top folder. A file that does not arrive whole
        // leaves a device file of that name as it was.
        const std::wstring name = m_listFiles.GetItemText(row, kColumnName);
        if (!g_ftp.RetrieveFile(name, name)) {
            // A failure and the cancel tap end the command alike; what arrived stays.
            ShowStepFailure(L"File Transfer Cancelled");
            SetProgressNow(0);
            UncheckAllRows();
            EnableButtons(kDownloadLocks, true);
            return;
        }
        SetProgressNow(++done);
        m_listFiles.SetCheck(row, false);
    }

    wait.reset();
    m_progress.SetPos(0);
    EnableButtons(kDownloadLocks, true);
    AppMessageBox(L"File Download Completed");
}
