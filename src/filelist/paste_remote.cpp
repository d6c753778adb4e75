// The paths of Paste in the Remote view: uploads into the shown folder and moves inside the
// account.

#include "app/connection_notice.h"
#include "app/globals.h"
#include "app/sendable_name.h"
#include "filelist/clipboard.h"
#include "filelist/paste_steps.h"
#include "filelist/path_box.h"
#include "platform/device.h"
#include "platform/ui/application.h"

using namespace platform::ui;

namespace {

// Stores a device file under its name in the server's current folder, the folder shown.
// Nothing outside that folder is replaced or moved, so no file of the same name elsewhere
// (in the remote root, say) is touched. The paste has asked the server whether the name is
// taken, so the store need not ask again.
bool StoreInShownFolder(const std::wstring& strLocalPath, const std::wstring& strName,
                        bool bReplacing) {
    return g_ftp.StoreFile(
        strLocalPath, strName,
        bReplacing ? CFtpSession::PriorRemoteFile::Present : CFtpSession::PriorRemoteFile::Absent,
        CFtpSession::StoreTarget::CurrentFolder);
}

}  // namespace

void CFileClipboard::PasteUploadCut() {
    CClientApp* app = GetClientApp();
    const std::wstring name = app->m_strClipName;
    if (!CanSendName(name)) {
        ShowStepFailure(kPasteTransferFailed);
        return;
    }
    const bool replacing = RemoteFileMayExist(name);
    if (replacing && !AskToReplace(kAskReplaceSpelledRight)) {
        return;
    }
    if (!StoreInShownFolder(app->m_strClipPath, name, replacing)) {
        ShowStepFailure(kPasteTransferFailed);
        return;
    }
    if (!replacing) {
        RefillFromServer();
    }
    if (!platform::Device::Current().Files().DeleteFile(app->m_strClipPath)) {
        // The cut cannot be carried out: a new upload is taken back, and with the cut source
        // gone a second paste does nothing. An upload that replaced a file stays: the file it
        // replaced is gone, so it is the only copy on the server.
        AppMessageBox(L"Cannot delete a system file");
        if (!replacing) {
            DeleteRemoteFile(name);
        }
        app->m_strCutSource.clear();
        return;
    }
    if (replacing) {
        RefillFromServer();
    } else {
        AppMessageBox(kPasteUploadDone);
    }
    app->m_strCutSource.clear();
    app->m_strClipName.clear();
}

void CFileClipboard::PasteRemoteMove() {
    CClientApp* app = GetClientApp();
    const std::wstring here = g_ftp.GetCurrentDir();
    app->m_strClipName = TrimLeadingBlanks(app->m_strClipName);
    if (app->m_strClipPath == here + L"/" + app->m_strClipName) {
        return;  // pasted into the folder it came from
    }
    if (!g_ftp.IsSendable(app->m_strClipPath) || !g_ftp.IsSendable(app->m_strClipName)) {
        ShowStepFailure(kPasteTransferFailed);
        return;
    }
    const std::wstring target = here + L"//" + app->m_strClipName;
    if (RemoteFileMayExist(target) && !AskToReplace(kAskReplaceMisspelled)) {
        return;
    }
    g_ftp.Rename(app->m_strClipPath, target);
    RefillFromServer();
    app->m_strCutSource.clear();
    app->m_strClipName.clear();
}

void CFileClipboard::PasteUploadCopy() {
    CClientApp* app = GetClientApp();
    if (!CanSendName(app->m_strClipName)) {
        ShowStepFailure(kPasteTransferFailed);
        return;
    }
    const bool replacing = RemoteFileMayExist(app->m_strClipName);
    if (replacing && !AskToReplace(kAskReplaceMisspelled)) {
        return;
    }
    if (!StoreInShownFolder(app->m_strClipPath, app->m_strClipName, replacing)) {
        ShowStepFailure(kPasteTransferFailed);
        return;
    }
    RefillFromServer();
    // The record stays: the same file can be pasted again elsewhere.
    AppMessageBox(kPasteUploadDone);
}
