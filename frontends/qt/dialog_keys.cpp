#include "dialog_keys.h"

#include <QKeyEvent>

#include "control_view.h"
#include "res/resource.h"

namespace qtfront {

namespace {

constexpr DialogButtons kButtons[] = {
    {IDD_LOGIN, IDC_LOGIN, 0},
    {IDD_MOVEFILE, IDC_MOVE_FILE, IDC_MOVE_CANCEL},
    {IDD_SHAREFILE, IDC_GENERATE_SHARE, IDC_SHARE_CANCEL},
};

// A press of the button, as a tap on it would give; nothing when it cannot be pressed.
bool Press(const platform::ui::Window& window, int id) {
    const platform::ui::Control* button = window.GetDlgItem(id);
    if (id == 0 || button == nullptr || button->Kind() != platform::ui::ControlKind::Button ||
        !button->IsVisible() || !button->IsEnabled()) {
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

DialogButtons ButtonsOf(const platform::ui::Window& window) {
    const int dialog = window.Template().id;
    for (const DialogButtons& buttons : kButtons) {
        if (buttons.dialog == dialog) {
            return buttons;
        }
    }
    // The device's OK and Cancel buttons.
    return {dialog, platform::ui::kIdOk, platform::ui::kIdCancel};
}

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
    const DialogButtons buttons = ButtonsOf(*m_window);
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
