#pragma once
// Modal dialogs: each runs its own message loop until it is ended or destroyed.

#include "platform/ui/window.h"

namespace platform::ui {

class Dialog : public Window {
  public:
    using Window::Window;

    // Creates the window, initialises it and runs its modal loop. A quit message ends the
    // loop and stays queued, so every enclosing run ends too.
    int RunModal();
    // Ends the modal run after the current handler returns.
    void EndDialog(int result);
    // Destroys the window now; this ends its modal run.
    void DestroyWindow();

    bool OnMessage(const Message& message) override;

  protected:
    virtual bool OnInitDialog() { return true; }
    // The device's common dialog set-up: the dialog fills the screen area between the title
    // strip and the command bar.
    void CommonDialogSetUp();
    // Centres the dialog in the screen area below the title strip.
    void CenterWindow();
    virtual void OnOK() { EndDialog(kIdOk); }
    virtual void OnCancel() { EndDialog(kIdCancel); }

  private:
    bool m_ended = false;
    int m_result = 0;
};

}  // namespace platform::ui
