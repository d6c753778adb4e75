#include "command_keys.h"

#include <QKeySequence>
#include <QStringList>

#include "res/resource.h"
#include "res/shortcuts.h"

namespace qtfront {

namespace {

using Action = CommandKey::Action;

const CommandKey kCommandKeys[] = {
    {QKeyCombination(Qt::ControlModifier, Qt::Key_1), Action::BarCommand, ID_SHOW_LOCAL},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_2), Action::BarCommand, ID_SHOW_REMOTE},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_U), Action::BarCommand, ID_UPLOAD},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_D), Action::BarCommand, ID_DOWNLOAD},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_N), Action::BarCommand, ID_NEW_FOLDER},
    {QKeyCombination(Qt::Key_Delete), Action::BarCommand, ID_DELETE},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_S), Action::BarCommand, ID_SHARE},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_Q), Action::BarCommand, ID_EXIT},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_X), Action::HoldMenuEntry, ID_CUT},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_C), Action::HoldMenuEntry, ID_COPY},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_V), Action::HoldMenuEntry, ID_PASTE},
    {QKeyCombination(Qt::Key_Backspace), Action::FolderAbove},
    {QKeyCombination(Qt::AltModifier, Qt::Key_Up), Action::FolderAbove},
};

QString ProgramKeyText(ShortcutKey key) {
    switch (key) {
        case ShortcutKey::F1:
            return QStringLiteral("F1");
        case ShortcutKey::CtrlM:
            break;
    }
    return QStringLiteral("Ctrl+M");
}

}  // namespace

std::span<const CommandKey> CommandKeys() {
    return kCommandKeys;
}

QString KeyTextOf(int command) {
    QStringList keys;
    for (const Shortcut& shortcut : kShortcuts) {
        if (shortcut.command == command) {
            keys << ProgramKeyText(shortcut.key);
        }
    }
    for (const CommandKey& key : kCommandKeys) {
        if (key.command == command && key.action == Action::BarCommand) {
            keys << QKeySequence(key.key).toString(QKeySequence::PortableText);
        }
    }
    return keys.join(QStringLiteral(", "));
}

}  // namespace qtfront
