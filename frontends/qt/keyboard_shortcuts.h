#pragma once
// The program's shortcut keys (res/shortcuts.h) on the Qt keyboard.

#include <functional>

#include "platform/ui/window.h"

class QWidget;

namespace qtfront {

// Installs the keys on the device screen; `innermost` gives the window they act on.
void InstallKeyCommands(QWidget& screen, std::function<const platform::ui::Window*()> innermost);

}  // namespace qtfront
