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
#include "filemanager/enter_remote_root.h"
#include "filemanager/file_manager_dlg.h"
#include "ftp/remote_root.h"
#include "ftp/reply_codes.h"
#include "platform/device.h"
#include "platform/fs/file_system.h"
#include "platform/fs/staged_file.h"
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

// Makes a remote folder (it may exist already) and goes into it. False when the session
// could not go there: its files must then not be stored wherever the session is.
bool EnterNewRemoteFolder(const std::wstring& strRemoteFolder) {
    g_ftp.SendAndRead(L"MKD " + strRemoteFolder);
    const bool entered = Command(L"CWD " + strRemoteFolder);
    // Its answer is not needed; the PWD stays so that the server sees the exchange it knows.
    g_ftp.SendCurrentDirAhead();
    return entered;
}

// Pipes, sockets and devices: never read, as the device listing never shows them.
bool IsPipeOrDevice(std::uint32_t nAttributes) {
    return nAttributes == platform::fs::kAttrSystem || nAttributes == platform::fs::kAttrInRom;
}

// What became of one checked row.
enum class ItemUpload {
    Whole,       // stored, or a folder whose every file went up
    Incomplete,  // skipped, or a folder that left something behind: the others still go
    Cancelled,   // a file's transfer failed or was cancelled: the command ends
};

// A file into the remote root, which an earlier item of the command found there: the CWD
// goes along with the upload's own commands rather than a round trip ahead of them.
bool StoreInKnownRoot(const std::wstring& strLocal, const std::wstring& strName) {
    g_ftp.SendCommandAhead(std::wstring(L"CWD ") + kRemoteRoot);
    g_ftp.SendCurrentDirAhead();
    if (g_ftp.StoreFile(strLocal, strName)) {
        return true;
    }
    const int nRefusal = g_ftp.GetReplyCode();
    if (g_ftp.CommandAheadCode() != ftp::kReplyNoSuchFile || nRefusal < 500 || nRefusal > 599) {
        return false;
    }
    // The root went away since, and the server refused to store into it. It is made again,
    // as for a fresh account, and the file goes up once more.
    EnterRemoteRoot();
    g_ftp.SendCurrentDirAhead();
    return g_ftp.StoreFile(strLocal, strName);
}

// Uploads one checked device item into the remote root: a file under its name, a folder (a
// checked link to a folder too; the walk below it follows no further links) as a remote
// folder there with its whole content. `bRootKnown`: an earlier item entered the root, and
// this one records whether it did.
ItemUpload UploadItem(CFileManagerDlg& dlg, const std::wstring& strLocal,
                      const std::wstring& strName, bool& bRootKnown) {
    const std::optional<std::uint32_t> attributes =
        platform::Device::Current().Files().GetAttributes(strLocal);
    if (!CanSendName(strName)) {
        // A name no command can carry is not uploaded, and nothing is sent for it.
        return ItemUpload::Incomplete;
    }
    const bool bFolder = attributes && (*attributes & platform::fs::kAttrDirectory) != 0;
    if (bRootKnown && !bFolder) {
        return StoreInKnownRoot(strLocal, strName) ? ItemUpload::Whole : ItemUpload::Cancelled;
    }
    bRootKnown = EnterRemoteRoot();
    if (bFolder) {
        const std::wstring remote = std::wstring(kRemoteRoot) + L"/" + strName;
        const bool entered = EnterNewRemoteFolder(remote);
        return entered && dlg.UploadFolder(strLocal + L"\\", remote) ? ItemUpload::Whole
                                                                     : ItemUpload::Incomplete;
    }
    g_ftp.SendCurrentDirAhead();
    return g_ftp.StoreFile(strLocal, strName) ? ItemUpload::Whole : ItemUpload::Cancelled;
}

}  // namespace

void CFileManagerDlg::OnUpload() {
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
    const std::wstring folder = PathFromEntries(m_comboPath, m_comboPath.GetCount() - 1, L'\\');
    int done = 0;
    // Whether every checked item went up whole; the command carries on past an incomplete
    // one, but must not then claim success.
    bool bAllUploaded = true;
    bool bRootKnown = false;
    for (int row = 0; row < m_listFiles.GetItemCount(); ++row) {
        if (!m_listFiles.GetCheck(row)) {
            continue;
        }
        const std::wstring name = m_listFiles.GetItemText(row, kColumnName);
        const ItemUpload result = UploadItem(*this, folder + L"\\" + name, name, bRootKnown);
        if (result == ItemUpload::Cancelled) {
            ShowStepFailure(L"File Transfer Cancelled");
            SetProgressNow(0);
            UncheckAllRows();
            EnableButtons(kUploadLocks, true);
            SetWindowText(L"My Device");
            return;
        }
        bAllUploaded = bAllUploaded && result == ItemUpload::Whole;
        // A folder counts as done whatever happened inside it.
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
        if (IsPipeOrDevice(entry.attributes) || platform::fs::IsStagingFileName(entry.name)) {
            continue;
        }
        if (!bInThisFolder) {
            if (!Command(L"CWD " + strRemoteFolder)) {
                return false;
            }
            bInThisFolder = true;
        }
        if (!g_ftp.StoreFile(strLocalFolder + entry.name, entry.name,
                             CFtpSession::PriorRemoteFile::Unknown,
                             CFtpSession::StoreTarget::CurrentFolder)) {
            // Only this folder's walk ends; the enclosing folder goes on with its next entry.
            return false;
        }
    }
    return bAllUploaded;
}
