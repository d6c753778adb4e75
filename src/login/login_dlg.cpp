#include "login/login_dlg.h"

#include "app/connection_notice.h"
#include "app/globals.h"
#include "filemanager/hand_over.h"
#include "platform/ui/toolkit.h"
#include "res/built_in_servers.h"
#include "res/resource.h"
#include "res/templates.h"

using namespace platform::ui;

const MessageEntry<CLoginDlg> CLoginDlg::kMessageMap[] = {
    OnHelpRequest(&CLoginDlg::OnHelpInfo),
    OnCommand(IDC_LOGIN, &CLoginDlg::OnLogin),
    OnCommand(IDC_RESET, &CLoginDlg::OnReset),
};

CLoginDlg::CLoginDlg() : Dialog(res::LoginDialog()) {}

bool CLoginDlg::OnMessage(const Message& message) {
    return DispatchMessageTable(*this, kMessageMap, message) || Dialog::OnMessage(message);
}

bool CLoginDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    // The icon is the front end's to draw.
    CenterWindow();
    return true;
}

void CLoginDlg::OnHelpInfo() {
    AppMessageBox(L"Help");
}

void CLoginDlg::OnReset() {
    GetDlgItem(IDC_USERNAME)->SetWindowText(L"");
    GetDlgItem(IDC_PASSWORD)->SetWindowText(L"");
}

void CLoginDlg::OnLogin() {
    BeginWaitCursor();
    CClientApp* app = GetClientApp();
    app->m_strUserName = GetDlgItem(IDC_USERNAME)->GetWindowText();
    app->m_strPassword = GetDlgItem(IDC_PASSWORD)->GetWindowText();
    if (app->m_strUserName.empty()) {
        AppMessageBox(L"Enter User Name");
    } else if (app->m_strPassword.empty()) {
        AppMessageBox(L"Enter Password");
    } else if (!g_ftp.Connect(kServerAddress, kFtpServerPort)) {
        ReportConnectFailure();
    } else if (!g_ftp.Login(app->m_strUserName, app->m_strPassword)) {
        AppMessageBox(kLoginFailed);
        g_ftp.Quit();
    } else {
        HandOverToFileManager(*this);
        EndWaitCursor();
    }
    EndWaitCursor();
}

void CLoginDlg::ReportConnectFailure() {
    switch (g_ftp.GetSecurityRefusal()) {
        case CFtpSession::SecurityRefusal::NotOffered:
            AppMessageBox(kNoSecureConnection);
            break;
        case CFtpSession::SecurityRefusal::Untrusted:
            AppMessageBox(std::wstring(kCertificateNotTrusted) + L"\n" + g_ftp.GetSecurityReason());
            break;
        case CFtpSession::SecurityRefusal::None:
            AppMessageBox(kErrorConnecting);
            break;
    }
}
