// The program's start-up: the first window of the window chain. It lives with the login
// dialog, not with the application object, because the session state below the windows
// must not know the windows.

#include "app/client_app.h"
#include "login/login_dlg.h"
#include "platform/device.h"

bool CClientApp::InitInstance() {
    if (!platform::Device::Current().Net().Startup()) {
        platform::ui::AppMessageBox(L"Windows CE sockets initialization failed.");
        return false;
    }
    // Embedded controls in dialogs need no set-up of their own on this platform.
    CLoginDlg dlg;
    m_pMainWnd = &dlg;
    dlg.RunModal();
    m_pMainWnd = nullptr;
    return false;
}
