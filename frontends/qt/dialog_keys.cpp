#include "dialog_keys.h"

#include <QKeyEvent>

#include "control_view.h"

namespace qtfront {

namespace {

// A press of the button, as a tap on it would give; nothing when it cannot be pressed.
bool Press(const platform::ui::Window& window, int id) {
    const platform::ui::Control* button = window.GetDlgItem(id);
    if (id == platform::ui::kNoButton || button == nullptr ||
        button->Kind() != platform::ui::ControlKind::Button || !button->IsVisible() ||
        !button->IsEnabled()) {
        return false;
    }
    platform::ui::Message click;
    click.kind = platform::ui::MessageKind::Command;
    click.window = window.Handle();
    click.id = id;
    Post(click);
    return true;
}

}  // namespace

DialogKeys::DialogKeys(const platform::ui::Window& window, QObject& view)
    : QObject(&view), m_window(&window) {
    view.installEventFilter(this);
}

bool DialogKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) {
        return false;
    }
    const platform::ui::DialogTemplate& buttons = m_window->Template();
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return Press(*m_window, buttons.defaultButton);
        case Qt::Key_Escape:
            return Press(*m_window, buttons.cancelButton);
        default:
            return false;
    }
}

}  // namespace qtfront
