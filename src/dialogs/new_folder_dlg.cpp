#include "dialogs/new_folder_dlg.h"

#include "app/connection_notice.h"
#include "app/globals.h"
#include "filemanager/hand_over.h"
#include "platform/ui/application.h"
#include "res/resource.h"
#include "res/templates.h"

using namespace platform::ui;

namespace {

std::wstring TrimBlanks(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

}  // namespace

CNewFolderDlg::CNewFolderDlg() : Dialog(res::NewFolderDialog()) {
    BindControl(IDC_FOLDERNAME, m_editFolderName);
}

bool CNewFolderDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    CommonDialogSetUp();
    m_editFolderName.SetWindowText(m_strFolderName);
    return true;
}

void CNewFolderDlg::OnOK() {
    if (m_editFolderName.GetWindowText().empty()) {
        AppMessageBox(L"Enter Folder Name");
        return;
    }
    const std::wstring folder = g_ftp.GetCurrentDir();
    // Only an empty edit is refused: a name of blanks goes to the server, which refuses it.
    const std::wstring name = TrimBlanks(m_editFolderName.GetWindowText());
    g_ftp.SendAndRead(L"MKD " + folder + L"/" + name);
    if (g_ftp.GetReplyCode() == ftp::kReplyDirectoryExists) {
        AppMessageBox(L"Directory already exists");
        return;
    }
    if (g_ftp.GetReplyCode() == ftp::kReplyCommandRefused) {
        // A line break in the name: nothing was sent, and the name stays to be mended.
        ShowStepFailure(L"Invalid Folder Name");
        return;
    }
    HandOverToFileManager(*this);
}

void CNewFolderDlg::OnCancel() {
    HandOverToFileManager(*this);
}
