#pragma once
// Windows: a title, controls by id, an optional command bar.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/command_bar.h"
#include "platform/ui/control.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/geometry.h"
#include "platform/ui/message.h"

namespace platform::ui {

class Window {
  public:
    explicit Window(const DialogTemplate& tmpl) : m_template(tmpl) {}
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The class name shown in transcripts ("CLoginDlg").
    virtual const char* ClassName() const = 0;

    const DialogTemplate& Template() const { return m_template; }
    WindowHandle Handle() const { return m_handle; }
    bool IsCreated() const { return m_handle != 0; }

    const std::wstring& GetWindowText() const { return m_title; }
    void SetWindowText(std::wstring title);

    // The control with this id, or null.
    Control* GetDlgItem(int id) const;
    // Controls in template order.
    const std::vector<Control*>& Controls() const { return m_order; }
    // The window's rectangle on the device screen: the template's size just below the title
    // strip until the window is placed (see Dialog).
    const Rect& GetWindowRect() const { return m_rect; }
    // A rectangle in the window's dialog units, on the device screen.
    Rect DialogToScreen(Rect du) const;
    CommandBar& GetCommandBar() { return m_commandBar; }
    const CommandBar& GetCommandBar() const { return m_commandBar; }

    // The control whose tap cancels a running transfer: while the program blocks, it is the
    // one control a front end leaves live. 0 when the window has none.
    int TransferCancelControl() const { return m_transferCancelControl; }
    void SetTransferCancelControl(int id) { m_transferCancelControl = id; }

    // Paints the window (0) or one control at once.
    void UpdateWindow(int controlId = 0);

    // Gives the message to the target control first, then to the window's table.
    bool Dispatch(const Message& message);
    // The window's own handling; overridden by each class with its message table.
    virtual bool OnMessage(const Message& message);
    // A close request: by default it ends every modal run, as closing the device's last
    // window ends the program.
    virtual void OnClose();

  protected:
    // Uses `control` (a member of the derived class) for the template's control `id`
    // instead of a control of the default kind. Call before the window is created.
    void BindControl(int id, Control& control);
    // Builds the controls from the template and registers the window with the device.
    void CreateFromTemplate();
    // Unregisters and forgets the controls' window.
    void DestroyHandle();
    void MoveWindow(const Rect& rect) { m_rect = rect; }

  private:
    const DialogTemplate& m_template;
    WindowHandle m_handle = 0;
    std::wstring m_title;
    Rect m_rect = DialogRectToScreen({0, 0, m_template.width, m_template.height});
    std::map<int, Control*> m_bound;
    std::vector<std::unique_ptr<Control>> m_owned;
    std::vector<Control*> m_order;
    CommandBar m_commandBar;
    int m_transferCancelControl = 0;
};

}  // namespace platform::ui
