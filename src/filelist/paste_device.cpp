// The paths of Paste in the Local view: moves and copies on the device, and downloads of
// the recorded remote item.

#include "app/connection_notice.h"
#include "app/globals.h"
#include "filelist/clipboard.h"
#include "filelist/paste_steps.h"
#include "platform/device.h"
#include "platform/fs/file_system.h"
#include "platform/ui/application.h"

using namespace platform::ui;

namespace {

const platform::fs::FileSystem& DeviceFiles() {
    return platform::Device::Current().Files();
}

bool DeviceEntryExists(const std::wstring& strPath) {
    return DeviceFiles().GetAttributes(strPath).has_value();
}

}  // namespace

void CFileClipboard::PasteDeviceMove() {
    CClientApp* app = GetClientApp();
    const std::wstring strTarget = LocalTarget();
    if (app->m_strClipPath == strTarget) {
        return;
    }
    // Whatever happens from here, the cut is used up; its source stays recorded.
    if (!DeviceEntryExists(strTarget)) {
        DeviceFiles().MoveFile(app->m_strClipPath, strTarget);
    } else if (AskToReplace(kAskReplaceSpelledRight)) {
        // The source goes only once its copy is in place: a copy that fails (a read-only
        // target, a full device) leaves both files as they were.
        if (!DeviceFiles().CopyFile(app->m_strClipPath, strTarget, false) ||
            !DeviceFiles().DeleteFile(app->m_strClipPath)) {
            AppMessageBox(L"Cannot Cut a system file");
        }
    }
    app->m_strClipName.clear();
}

void CFileClipboard::PasteDownloadCut() {
    PasteDownload(true);
}

void CFileClipboard::PasteDownloadCopy() {
    PasteDownload(false);
}

void CFileClipboard::PasteDownload(bool bCutRecord) {
    CClientApp* app = GetClientApp();
    const std::wstring strTarget = LocalTarget();
    // The recorded full path names the item wherever the session has gone since, so no
    // other file of the same name is fetched or deleted. The name a server gave lands in the
    // folder shown and nowhere else.
    if (!platform::fs::IsBareName(app->m_strClipName) ||
        !g_ftp.RetrieveFile(app->m_strClipPath, strTarget)) {
        ShowStepFailure(kPasteTransferFailed);
        return;
    }
    if (bCutRecord) {
        if (app->m_strClipIsCut == kTextTrue) {
            DeleteRemoteFile(app->m_strClipPath);
        }
        app->m_strClipName.clear();
    }
    AppMessageBox(kPasteDownloadDone);
}

void CFileClipboard::PasteDeviceCopy() {
    const std::wstring strTarget = LocalTarget();
    const std::wstring& source = GetClientApp()->m_strClipPath;
    if (source == strTarget) {
        return;
    }
    if (!DeviceEntryExists(strTarget)) {
        DeviceFiles().CopyFile(source, strTarget, true);
    } else if (AskToReplace(kAskReplaceSpelledRight)) {
        DeviceFiles().CopyFile(source, strTarget, false);
    }
}
