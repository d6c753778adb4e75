#include "app/client_app.h"

#include "app/login_dlg.h"
#include "platform/device.h"

CClientApp::CClientApp() : platform::ui::Application(L"Kestra.htp") {}

CClientApp* GetClientApp() {
    return static_cast<CClientApp*>(platform::ui::Application::Current());
}

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
