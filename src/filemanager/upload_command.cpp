// The upload command: checked device files go into the remote root, checked device folders
// become remote folders there with their whole content.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

#include "app/connection_notice.h"
#include "app/globals.h"
#include "app/sendable_name.h"
#include "filelist/path_box.h"
#include "filemanager/file_manager_dlg.h"
#include "ftp/download_target.h"
#include "ftp/reply_codes.h"
#include "platform/device.h"
#include "platform/fs/file_system.h"
#include "platform/ui/ui_guards.h"
#include "res/resource.h"

using namespace platform::ui;

namespace {

// Locked while the files go out: the views, upload, help and move.
constexpr std::initializer_list<int> kUploadLocks = {ID_SHOW_LOCAL, ID_SHOW_REMOTE, ID_UPLOAD,
                                                     ID_HELP, ID_MOVE};

// Sends one command and reads its reply; true when the server did it (250).
bool Command(const std::wstring& strCommand) {
    g_ftp.SendAndRead(strCommand);
    return g_ftp.GetReplyCode() == ftp::kReplyFileActionOk;
}

// Goes to the remote root, making it first when a fresh account has none yet, as the Remote
// view does.
void EnterRemoteRoot() {
    const std::wstring cwdRoot = std::wstring(L"CWD ") + kRemoteRoot;
    g_ftp.SendCommand(cwdRoot);
    g_ftp.ReadReply();
    if (g_ftp.GetReplyCode() == ftp::kReplyNoSuchFile) {
        g_ftp.SendCommand(L"MKD My Device on Stowbox");
        g_ftp.ReadReply();
        g_ftp.SendCommand(cwdRoot);
        g_ftp.ReadReply();
    }
}

// Makes a remote folder (it may exist already) and goes into it. False when the session
// could not go there: its files must then not be stored wherever the session is.
bool EnterNewRemoteFolder(const std::wstring& strRemoteFolder) {
    g_ftp.SendAndRead(L"MKD " + strRemoteFolder);
    const bool entered = Command(L"CWD " + strRemoteFolder);
    // Its answer is not needed; the PWD stays so that the server sees the exchange it knows.
    g_ftp.GetCurrentDir();
    return entered;
}

// Pipes, sockets and devices: never read, as the device listing never shows them.
bool IsPipeOrDevice(std::uint32_t nAttributes) {
    return nAttributes == platform::fs::kAttrSystem || nAttributes == platform::fs::kAttrInRom;
}

}  // namespace

void CFileManagerDlg::OnUpload() {
    using namespace platform::fs;
    std::optional<CWaitCursor> wait(std::in_place);
    if (CountCheckedRows() == 0) {
        AppMessageBox(L"Select a file/folder for Upload");
        return;
    }
    EnableButtons(kUploadLocks, false);
    UpdateWindow(0);
    SetWindowText(L"Uploading Files");
    UpdateWindow(0);
    m_progress.SetRange(0, CountCheckedRows());
    m_progress.SetPos(0);

    // The shown device folder, spelled by the path box's entries after "My Device".
    const int entries = m_comboPath.GetCount();
    const std::wstring folder = PathFromEntries(m_comboPath, entries - 1, L'\\');

    const FileSystem& files = platform::Device::Current().Files();
    int done = 0;
    // Whether every file of the checked folders went up; a folder walk carries on past a
    // failure, but the command must not then claim success.
    bool bAllUploaded = true;
    for (int row = 0; row < m_listFiles.GetItemCount(); ++row) {
        if (!m_listFiles.GetCheck(row)) {
            continue;
        }
        const std::wstring name = m_listFiles.GetItemText(row, kColumnName);
        const std::wstring local = folder + L"\\" + name;
        const std::optional<std::uint32_t> attributes = files.GetAttributes(local);
        if (!CanSendName(name)) {
            // A name no command can carry is not uploaded, and nothing is sent for it; the
            // other rows still go.
            bAllUploaded = false;
        } else if (attributes && (*attributes & kAttrDirectory) != 0) {
            // A checked link to a folder is uploaded as that folder; the walk below it
            // follows no further links.
            EnterRemoteRoot();
            const std::wstring remote = std::wstring(kRemoteRoot) + L"/" + name;
            const bool entered = EnterNewRemoteFolder(remote);
            g_ftp.m_strStoreInPlace = kTextTrue;
            if (!entered || !UploadFolder(local + L"\\", remote)) {
                bAllUploaded = false;
            }
            // The folder counts as done whatever happened inside it.
        } else {
            EnterRemoteRoot();
            g_ftp.GetCurrentDir();
            g_ftp.m_strStoreInPlace = kTextFalse;
            if (!g_ftp.StoreFile(local, name)) {
                ShowStepFailure(L"File Transfer Cancelled");
                SetProgressNow(0);
                UncheckAllRows();
                EnableButtons(kUploadLocks, true);
                SetWindowText(L"My Device");
                return;
            }
        }
        SetProgressNow(++done);
        m_listFiles.SetCheck(row, false);
    }

    UncheckAllRows();
    m_progress.SetPos(0);
    wait.reset();
    EnableButtons(kUploadLocks, true);
    SetWindowText(L"My Device");
    if (bAllUploaded) {
        AppMessageBox(L"File Upload Completed");
    } else {
        ShowStepFailure(L"File Transfer Cancelled");
    }
}

bool CFileManagerDlg::UploadFolder(const std::wstring& strLocalFolder,
                                   const std::wstring& strRemoteFolder) {
    using namespace platform::fs;
    // Files are stored under their bare names in the session's current folder; a subfolder's
    // walk leaves the session below this folder.
    bool bInThisFolder = true;
    bool bAllUploaded = true;
    for (const FindData& entry :
         platform::Device::Current().Files().Find(strLocalFolder + L"*.*")) {
        if (!CanSendName(entry.name)) {
            bAllUploaded = false;  // skipped, with nothing sent; the walk goes on
            continue;
        }
        if ((entry.attributes & kAttrDirectory) != 0) {
            // A link is never followed, so a link loop cannot make the walk go on forever.
            if ((entry.attributes & kAttrReparsePoint) != 0) {
                continue;
            }
            const std::wstring remote = strRemoteFolder + L"//" + entry.name;
            if (EnterNewRemoteFolder(remote)) {
                bInThisFolder = false;
                bAllUploaded =
                    UploadFolder(strLocalFolder + entry.name + L"\\", remote) && bAllUploaded;
            } else {
                bAllUploaded = false;  // its files stay behind
            }
            continue;
        }
        if (IsPipeOrDevice(entry.attributes) || ftp::IsDownloadTemporary(entry.name)) {
            continue;
        }
        if (!bInThisFolder) {
            if (!Command(L"CWD " + strRemoteFolder)) {
                return false;
            }
            bInThisFolder = true;
        }
        if (!g_ftp.StoreFile(strLocalFolder + entry.name, entry.name)) {
            // Only this folder's walk ends; the enclosing folder goes on with its next entry.
            return false;
        }
    }
    return bAllUploaded;
}
