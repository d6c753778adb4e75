// Paste: carries out the recorded cut or copy into the folder the window shows, by one of
// eight paths chosen by the view showing and where the record came from.

#include "app/globals.h"
#include "filelist/clipboard.h"
#include "platform/ui/application.h"
#include "platform/ui/ui_guards.h"

using namespace platform::ui;

const CFileClipboard::CPastePath CFileClipboard::kPastePaths[] = {
    {kViewRemote, &CClientApp::m_strCutSource, kViewLocal, &CFileClipboard::PasteUploadCut},
    {kViewRemote, &CClientApp::m_strCutSource, kViewRemote, &CFileClipboard::PasteRemoteMove},
    {kViewRemote, &CClientApp::m_strCopySource, kViewLocal, &CFileClipboard::PasteUploadCopy},
    {kViewRemote, &CClientApp::m_strCopySource, kViewRemote, &CFileClipboard::RefuseRemoteCopy},
    {kViewLocal, &CClientApp::m_strCutSource, kViewLocal, &CFileClipboard::PasteDeviceMove},
    {kViewLocal, &CClientApp::m_strCutSource, kViewRemote, &CFileClipboard::PasteDownloadCut},
    {kViewLocal, &CClientApp::m_strCopySource, kViewLocal, &CFileClipboard::PasteDeviceCopy},
    {kViewLocal, &CClientApp::m_strCopySource, kViewRemote, &CFileClipboard::PasteDownloadCopy},
};

void CFileClipboard::Paste() {
    CWaitCursor wait;
    CClientApp* app = GetClientApp();
    // Every paste begins by asking where the session is, whatever the view.
    g_ftp.GetCurrentDir();
    if (app->m_strClipName.empty()) {
        AppMessageBox(L"Cut or Copy a file to paste");
        return;
    }
    for (const CPastePath& path : kPastePaths) {
        if (app->m_strCurrentView == path.strView && app->*path.pSource == path.strSource) {
            (this->*path.pPaste)();
            return;
        }
    }
}

void CFileClipboard::RefuseRemoteCopy() {
    AppMessageBox(L"Copy n Paste in Remote is not allowed");
}
