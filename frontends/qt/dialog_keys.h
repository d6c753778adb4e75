#pragma once
// Enter and Escape in a window, as a desktop user expects them: Enter presses the window's
// default button (LOGIN, OK, MOVE FILE), Escape its cancel button where it has one. Only keys
// that the focused control leaves alone get here.

#include <QObject>

#include "platform/ui/window.h"

namespace qtfront {

struct DialogButtons {
    int dialog;  // the template's id
    int defaultButton;
    int cancelButton;  // 0: Escape does nothing
};

// The default and cancel buttons of the window's template.
DialogButtons ButtonsOf(const platform::ui::Window& window);

// Watches the keys that reach `view` (a window's view) unhandled.
class DialogKeys final : public QObject {
  public:
    DialogKeys(const platform::ui::Window& window, QObject& view);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const platform::ui::Window* m_window;
};

}  // namespace qtfront
