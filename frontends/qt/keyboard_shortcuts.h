#pragma once
// Keys that issue commands whose buttons stay hidden:
//   F1      the help command (the help request where the window has no help command)
//   Ctrl+M  the move command, only while the Remote view shows (its DownLoad button is
//           visible), so that the device's files never pick remote files to move
// A key issues its command only in a window whose command bar carries it.

#include <QKeyCombination>
#include <functional>

#include "platform/ui/window.h"
#include "res/resource.h"

class QWidget;

namespace qtfront {

struct KeyCommand {
    QKeyCombination key;
    int command;                // the command id it issues
    bool helpRequestOtherwise;  // windows without the command get the help request
    int whileVisible = 0;       // a command bar button that must be visible, 0 for none
};

inline constexpr KeyCommand kKeyCommands[] = {
    {QKeyCombination(Qt::Key_F1), ID_HELP, true},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_M), ID_MOVE, false, ID_DOWNLOAD},
};

// Installs the keys on the device screen; `innermost` gives the window they act on.
void InstallKeyCommands(QWidget& screen, std::function<const platform::ui::Window*()> innermost);

}  // namespace qtfront
