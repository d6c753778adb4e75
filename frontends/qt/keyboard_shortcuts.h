#pragma once
// The program's shortcut keys (res/shortcuts.h) and the desktop keys of its commands
// (command_keys.h) on the Qt keyboard. A key does what its command does, through the same
// command id, and nothing while the program is busy.

#include <functional>

#include "platform/ui/window.h"

class QWidget;

namespace qtfront {

// Installs the keys on the device screen; `innermost` gives the window they act on.
void InstallKeyCommands(QWidget& screen, std::function<const platform::ui::Window*()> innermost);

}  // namespace qtfront
