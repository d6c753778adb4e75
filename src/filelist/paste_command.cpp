// Paste: carries out the recorded cut or copy into the folder the window shows, by one of
// eight paths chosen by the view showing and where the record came from.

#include "app/globals.h"
#include "filelist/file_list_ctrl.h"
#include "filelist/path_box.h"
#include "platform/ui/application.h"
#include "platform/ui/ui_guards.h"

using namespace platform::ui;

void CFileListCtrl::OnPaste() {
    CWaitCursor wait;
    CClientApp* app = GetClientApp();
    // Every paste begins by asking where the session is, whatever the view.
    g_ftp.GetCurrentDir();
    const ComboBox* box = PathBox();
    const int count = box != nullptr ? box->GetCount() : 0;
    if (app->m_strClipName.empty()) {
        AppMessageBox(L"Cut or Copy a file to paste");
        return;
    }

    // The first path whose view and source match; a record with neither source set (a
    // cut whose upload was undone) matches none and does nothing.
    const std::wstring& view = app->m_strCurrentView;
    const std::wstring& cutSource = app->m_strCutSource;
    const std::wstring& copySource = app->m_strCopySource;
    if (view == kViewRemote) {
        if (cutSource == kViewLocal) {
            PasteUploadCut();
        } else if (cutSource == kViewRemote) {
            PasteRemoteMove();
        } else if (copySource == kViewLocal) {
            PasteUploadCopy();
        } else if (copySource == kViewRemote) {
            AppMessageBox(L"Copy n Paste in Remote is not allowed");
        }
    } else if (view == kViewLocal) {
        // The shown device folder as the path box spells it, blanks and all, and the name.
        const std::wstring target =
            (box != nullptr ? PathFromEntries(*box, count - 1, L'/') : std::wstring()) + L"/" +
            app->m_strClipName;
        if (cutSource == kViewLocal) {
            PasteDeviceMove(target);
        } else if (cutSource == kViewRemote) {
            PasteDownload(target, true);
        } else if (copySource == kViewLocal) {
            PasteDeviceCopy(target);
        } else if (copySource == kViewRemote) {
            PasteDownload(target, false);
        }
    }
}
