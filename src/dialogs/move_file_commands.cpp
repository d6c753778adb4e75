// MOVE FILE and CANCEL of the move file dialog: both end in a fresh file manager window.

#include "app/connection_notice.h"
#include "app/globals.h"
#include "dialogs/move_file_dlg.h"
#include "filelist/paste_steps.h"
#include "filemanager/hand_over.h"
#include "platform/fs/file_system.h"
#include "platform/ui/application.h"

using platform::ui::AppMessageBox;

namespace {

// One element of a remote path that a command can carry: what the server listed may be
// anything.
bool IsMovableName(const std::wstring& strName) {
    return platform::fs::IsBareName(strName) && g_ftp.IsSendable(strName);
}

// The path as the server reads it: a run of slashes counts as one.
std::wstring WithSingleSlashes(const std::wstring& strPath) {
    std::wstring path;
    for (const wchar_t ch : strPath) {
        if (ch != L'/' || path.empty() || path.back() != L'/') {
            path += ch;
        }
    }
    return path;
}

}  // namespace

void CMoveFileDlg::OnMoveFile() {
    const std::wstring shown = g_ftp.GetCurrentDir();
    const int row = m_listFolders.GetSelectionMark();
    // Without a selected row the destination is the folder shown itself.
    const std::wstring text =
        row >= 0 && row < m_listFolders.GetItemCount() ? m_listFolders.GetItemText(row, 0) : L"";
    const std::wstring folder = text.empty() ? text : text.substr(1);

    CClientApp* app = GetClientApp();
    const std::wstring names = app->m_strMoveFiles;
    if (!folder.empty() && !IsMovableName(folder)) {
        // A folder row named by the server as a path ("..", "a/b") leads outside the folder
        // shown: nothing moves, the choice stays open.
        AppMessageBox(L"Cannot move into " + folder);
        return;
    }
    // Used once: a later move must not rename these files again.
    app->m_strMoveFiles.clear();
    std::size_t position = 0;
    for (std::size_t separator = names.find(kMoveNameSeparator, position);
         separator != std::wstring::npos; separator = names.find(kMoveNameSeparator, position)) {
        const std::wstring name = names.substr(position, separator - position);
        position = separator + kMoveNameSeparator.size();
        // An empty name would make the source path the source folder itself.
        if (name.empty()) {
            continue;
        }
        if (!IsMovableName(name)) {
            ShowStepFailure(L"Cannot move " + name);
            continue;
        }
        const std::wstring source = app->m_strMoveDir + L"//" + name;
        const std::wstring target = shown + L"//" + folder + L"//" + name;
        // The server's rename replaces a file of that name without a word; a file moved onto
        // itself replaces nothing.
        if (WithSingleSlashes(source) != WithSingleSlashes(target) && RemoteFileMayExist(target) &&
            !AskToReplace(kAskReplaceMisspelled)) {
            continue;
        }
        // Refusals are not reported; the next name is tried.
        g_ftp.Rename(source, target);
    }
    HandOverToFileManager(*this);
}

void CMoveFileDlg::OnCancel() {
    GetClientApp()->m_strMoveFiles.clear();
    HandOverToFileManager(*this);
}
