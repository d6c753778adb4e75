#include "platform/ui/application.h"

#include "platform/ui/toolkit.h"

namespace platform::ui {

namespace {
// The framework's record of the application object, as the device's runtime keeps it.
Application* g_currentApplication = nullptr;
}  // namespace

Application::Application(std::wstring name) : m_name(std::move(name)) {
    g_currentApplication = this;
}

Application::~Application() {
    if (g_currentApplication == this) {
        g_currentApplication = nullptr;
    }
}

Application* Application::Current() {
    return g_currentApplication;
}

MessageBoxAnswer AppMessageBox(const std::wstring& text, MessageBoxButtons buttons,
                               MessageBoxIcon icon) {
    const Application* app = Application::Current();
    return ShowMessageBox(text, app != nullptr ? app->Name() : std::wstring(), buttons, icon);
}

}  // namespace platform::ui
