#include "button_view.h"

#include "device_metrics.h"

namespace qtfront {

using platform::ui::ControlChange;

ButtonView::ButtonView(platform::ui::Control& button, QWidget& parent, const ViewContext& context)
    : QPushButton(&parent), m_button(&button) {
    setGeometry(context.scale.ToWidget(button.ScreenRect()));
    setFont(DeviceFont(context.scale, context.pointSize, true));
    setText(ToQString(button.GetWindowText()));
    setAutoDefault(false);
    setDefault((button.Template().style & platform::ui::kStyleDefaultButton) != 0);
    ApplyState(*this, button);
    const platform::ui::WindowHandle window = context.window;
    connect(this, &QPushButton::clicked, this, [this, window] {
        if (m_button == nullptr) {
            return;
        }
        platform::ui::Message command;
        command.kind = platform::ui::MessageKind::Command;
        command.window = window;
        command.id = m_button->Id();
        Post(command);
    });
    button.SetObserver([this](const ControlChange& change) {
        if (change.what == ControlChange::What::State) {
            ApplyModelState();
        } else {
            setText(ToQString(m_button->GetWindowText()));
        }
    });
}

void ButtonView::SetInputBlocked(bool blocked) {
    m_inputBlocked = blocked;
    ApplyModelState();
}

void ButtonView::ApplyModelState() {
    if (m_button == nullptr) {
        return;
    }
    ApplyState(*this, *m_button);
    if (m_inputBlocked) {
        setEnabled(false);
    }
}

void ButtonView::Unbind(bool modelAlive) {
    if (m_button != nullptr && modelAlive) {
        m_button->SetObserver(nullptr);
    }
    m_button = nullptr;
}

}  // namespace qtfront
