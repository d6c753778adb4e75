#pragma once
// Enter and Escape in a window, as a desktop user expects them: Enter presses the default
// button its template names, Escape its cancel button where it has one. Only keys that the
// focused control leaves alone get here.

#include <QObject>

#include "platform/ui/window.h"

namespace qtfront {

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
