#pragma once
// The application object of the framework: its name titles message boxes.

#include <string>

#include "platform/ui/frontend.h"

namespace platform::ui {

class Window;

class Application {
  public:
    explicit Application(std::wstring name);
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The instance initialisation: the program's start-up. Returning false means there is
    // no message loop of the application's own and the program ends.
    virtual bool InitInstance() = 0;

    const std::wstring& Name() const { return m_name; }
    Window* m_pMainWnd = nullptr;

    // The current application object.
    static Application* Current();

  private:
    std::wstring m_name;
};

// A message box titled with the application's name.
MessageBoxAnswer AppMessageBox(const std::wstring& text,
                               MessageBoxButtons buttons = MessageBoxButtons::Ok,
                               MessageBoxIcon icon = MessageBoxIcon::None);

}  // namespace platform::ui
