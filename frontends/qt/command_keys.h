#pragma once
// The desktop keys of the program's commands, on top of the program's own F1 and Ctrl+M:
// the keys desktop file managers use where there is one, a plain choice for the rest.

#include <QKeyCombination>
#include <QString>
#include <span>

namespace qtfront {

struct CommandKey {
    enum class Action {
        BarCommand,     // the command bar's command, only while its button can be pressed
        HoldMenuEntry,  // the hold menu's entry for the marked row of the window's list
        FolderAbove,    // the path box's entry above the selected one
    };
    QKeyCombination key;
    Action action;
    int command = 0;  // the command id (none for FolderAbove)
};

std::span<const CommandKey> CommandKeys();

// The keys that issue `command`, as shown to a person ("Ctrl+U"); empty when none does.
QString KeyTextOf(int command);

}  // namespace qtfront
