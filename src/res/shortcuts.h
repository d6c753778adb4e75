#pragma once
// Keys that issue commands whose buttons stay hidden:
//   F1      the help command (the help request where the window has no help command)
//   Ctrl+M  the move command, only while the Remote view shows (its DownLoad button is
//           visible), so that the device's files never pick remote files to move
// A key issues its command only in a window whose command bar carries it. A front end maps
// its own keys to these.

#include "res/resource.h"

enum class ShortcutKey { F1, CtrlM };

struct Shortcut {
    ShortcutKey key;
    int command;                // the command id it issues
    bool helpRequestOtherwise;  // windows without the command get the help request
    int whileVisible = 0;       // a command bar button that must be visible, 0 for none
};

inline constexpr Shortcut kShortcuts[] = {
    {ShortcutKey::F1, ID_HELP, true},
    {ShortcutKey::CtrlM, ID_MOVE, false, ID_DOWNLOAD},
};
