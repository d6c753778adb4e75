#include "platform/ui/window.h"

#include "platform/device.h"
#include "platform/ui/button.h"
#include "platform/ui/check_box.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/list_view.h"
#include "platform/ui/picture.h"
#include "platform/ui/progress_bar.h"
#include "platform/ui/toolkit.h"

namespace platform::ui {

namespace {

std::unique_ptr<Control> MakeControl(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit:
            return std::make_unique<Edit>();
        case ControlKind::Button:
            return std::make_unique<Button>();
        case ControlKind::CheckBox:
            return std::make_unique<CheckBox>();
        case ControlKind::ComboBox:
            return std::make_unique<ComboBox>();
        case ControlKind::ListView:
            return std::make_unique<ListView>();
        case ControlKind::ProgressBar:
            return std::make_unique<ProgressBar>();
        case ControlKind::Picture:
            break;
    }
    return std::make_unique<Picture>();
}

}  // namespace

Window::~Window() {
    DestroyHandle();
}

void Window::SetWindowText(std::wstring title) {
    m_title = std::move(title);
    if (IsCreated()) {
        Device::Current().Frontend().TitleChanged(*this);
    }
}

Control* Window::GetDlgItem(int id) const {
    if (id == 0) {
        return nullptr;
    }
    for (Control* control : m_order) {
        if (control->Id() == id) {
            return control;
        }
    }
    return nullptr;
}

Rect Window::DialogToScreen(Rect du) const {
    const Rect placed = DialogRectToScreen(du);
    return {placed.x + m_rect.x, placed.y + m_rect.y - kTitleStripHeight, placed.width,
            placed.height};
}

void Window::UpdateWindow(int controlId) {
    if (IsCreated()) {
        Device::Current().Frontend().Repaint(*this, controlId);
    }
}

bool Window::Dispatch(const Message& message) {
    if (message.control != 0) {
        Control* control = GetDlgItem(message.control);
        if (control != nullptr && control->OnMessage(message)) {
            return true;
        }
        // A command of a control's own pop-up menu goes nowhere else.
        if (message.kind == MessageKind::Command) {
            return false;
        }
    }
    return OnMessage(message);
}

bool Window::OnMessage(const Message& message) {
    if (message.kind == MessageKind::Close) {
        OnClose();
        return true;
    }
    if (message.kind != MessageKind::StylusUp) {
        return false;
    }
    // The first control under the tap that takes it.
    for (Control* control : m_order) {
        if (control->IsVisible() && control->IsEnabled() &&
            control->ScreenRect().Contains(message.point) && control->TapAt(message.point)) {
            return true;
        }
    }
    return false;
}

void Window::OnClose() {
    PostQuitMessage();
}

void Window::BindControl(int id, Control& control) {
    m_bound[id] = &control;
}

void Window::CreateFromTemplate() {
    if (IsCreated()) {
        return;
    }
    m_order.clear();
    m_owned.clear();
    for (const ControlTemplate& tmpl : m_template.controls) {
        Control* control = nullptr;
        if (auto bound = m_bound.find(tmpl.id); tmpl.id != 0 && bound != m_bound.end()) {
            control = bound->second;
        } else {
            m_owned.push_back(MakeControl(tmpl.kind));
            control = m_owned.back().get();
        }
        control->Attach(*this, tmpl);
        m_order.push_back(control);
    }
    m_title = std::wstring(m_template.title);
    m_handle = Device::Current().Register(*this);
}

void Window::DestroyHandle() {
    if (!IsCreated()) {
        return;
    }
    if (Device::HasCurrent()) {
        Device::Current().Unregister(*this);
    }
    m_handle = 0;
}

}  // namespace platform::ui
