#include "app/client_app.h"

CClientApp::CClientApp() : platform::ui::Application(L"Kestra.htp") {}

CClientApp* GetClientApp() {
    return static_cast<CClientApp*>(platform::ui::Application::Current());
}
