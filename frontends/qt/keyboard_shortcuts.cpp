#include "keyboard_shortcuts.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "control_view.h"

namespace qtfront {

namespace {

void Issue(const KeyCommand& key, const platform::ui::Window* window) {
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
    for (const KeyCommand& key : kKeyCommands) {
        auto* shortcut = new QShortcut(QKeySequence(key.key), &screen);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &screen,
                         [key, innermost] { Issue(key, innermost()); });
    }
}

}  // namespace qtfront
