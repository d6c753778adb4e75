#include "keyboard_shortcuts.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "control_view.h"
#include "res/shortcuts.h"

namespace qtfront {

namespace {

QKeyCombination ToQt(ShortcutKey key) {
    switch (key) {
        case ShortcutKey::F1:
            return QKeyCombination(Qt::Key_F1);
        case ShortcutKey::CtrlM:
            break;
    }
    return QKeyCombination(Qt::ControlModifier, Qt::Key_M);
}

void Issue(const Shortcut& key, const platform::ui::Window* window) {
    if (window == nullptr) {
        return;
    }
    const platform::ui::CommandBar& bar = window->GetCommandBar();
    if (key.whileVisible != 0 && !bar.IsVisible(key.whileVisible)) {
        return;
    }
    platform::ui::Message message;
    message.window = window->Handle();
    if (bar.Has(key.command)) {
        message.kind = platform::ui::MessageKind::Command;
        message.id = key.command;
    } else if (key.helpRequestOtherwise) {
        message.kind = platform::ui::MessageKind::Help;
    } else {
        return;
    }
    Post(message);
}

}  // namespace

void InstallKeyCommands(QWidget& screen, std::function<const platform::ui::Window*()> innermost) {
    for (const Shortcut& key : kShortcuts) {
        auto* shortcut = new QShortcut(QKeySequence(ToQt(key.key)), &screen);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &screen,
                         [key, innermost] { Issue(key, innermost()); });
    }
}

}  // namespace qtfront
