#include "dialogs/share_file_dlg.h"

#include <cstdint>

#include "app/connection_notice.h"
#include "app/globals.h"
#include "filemanager/hand_over.h"
#include "platform/fs/file_system.h"
#include "platform/ui/application.h"
#include "platform/ui/ui_guards.h"
#include "res/resource.h"
#include "res/templates.h"
#include "web/share_session.h"
#include "web/share_url.h"

using namespace platform::ui;

namespace {
constexpr const wchar_t* kShareRequestFailed = L"Share request failed";
}  // namespace

const MessageEntry<CShareFileDlg> CShareFileDlg::kMessageMap[] = {
    OnCommand(IDC_GENERATE_SHARE, &CShareFileDlg::OnGenerateShare),
    OnCommand(IDC_SHARE_CANCEL, &CShareFileDlg::OnCancelButton),
};

CShareFileDlg::CShareFileDlg() : Dialog(res::ShareFileDialog()) {}

bool CShareFileDlg::OnMessage(const Message& message) {
    const bool handled =
        DispatchMessageTable(*this, kMessageMap, message) || Dialog::OnMessage(message);
    // A step that met a lost connection without a failure of its own to show says so now.
    ReportConnectionNotice();
    return handled;
}

Edit& CShareFileDlg::Field(int id) const {
    return ControlAs<Edit>(*GetDlgItem(id));
}

ComboBox& CShareFileDlg::DownloadsList() const {
    return ControlAs<ComboBox>(*GetDlgItem(IDC_SHARE_DOWNLOADS));
}

CheckBox& CShareFileDlg::WriteBox() const {
    return ControlAs<CheckBox>(*GetDlgItem(IDC_SHARE_WRITE));
}

bool CShareFileDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    CommonDialogSetUp();
    CWaitCursor wait;
    const CClientApp* app = GetClientApp();
    Field(IDC_SHARE_FILENAME).SetWindowText(app->m_strShareName);
    QueryDownloadLimit(DownloadsList(), *app);
    return true;
}

void CShareFileDlg::OnGenerateShare() {
    CWaitCursor wait;
    CShareSession session(reinterpret_cast<std::uintptr_t>(this));
    const CClientApp* app = GetClientApp();
    if (app->m_strUserName.empty()) {
        AppMessageBox(L"Enter User Name");
        return;
    }
    const std::wstring strRemoteFolder = g_ftp.GetCurrentDir();
    CShareRequest request;
    request.strSharePassword = Field(IDC_SHARE_PASSWORD).GetWindowText();
    request.strTo = Field(IDC_SHARE_TO).GetWindowText();
    request.strFrom = Field(IDC_SHARE_FROM).GetWindowText();
    request.strBcc = Field(IDC_SHARE_BCC).GetWindowText();
    if (request.strFrom.empty()) {
        AppMessageBox(L"Enter the From Email id");
        return;
    }
    if (request.strTo.empty()) {
        AppMessageBox(L"Enter the To Email id");
        return;
    }
    request.strUserName = app->m_strUserName;
    request.strFileName = app->m_strShareName;
    request.strFilePath = ShareFilePath(strRemoteFolder);
    request.strWrite = WriteBox().GetCheck() ? kTextTrue : kTextFalse;
    request.strDownloads = DownloadsList().GetLBText(DownloadsList().GetCurSel());
    request.strAccountPassword = app->m_strPassword;

    // A name the server listed as a path names no file of this folder.
    if (!platform::fs::IsBareName(request.strFileName)) {
        AppMessageBox(kShareRequestFailed);
        return;
    }
    // The servlet mails the links; a refusal leaves the dialog open with the entries as they
    // are. A host that cannot be reached throws, and the framework reports it with this
    // dialog still open.
    const auto answer = session.OpenUrl(ShareUrl(request));
    if (!answer || answer->StatusCode() < 200 || answer->StatusCode() > 299) {
        AppMessageBox(kShareRequestFailed);
        return;
    }
    HandOverToFileManager(*this);
}
