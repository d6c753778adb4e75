#include "platform/ui/control.h"

#include "platform/ui/window.h"

namespace platform::ui {

void Control::Attach(Window& window, const ControlTemplate& tmpl) {
    m_window = &window;
    m_template = tmpl;
    m_text = std::wstring(tmpl.text);
    m_visible = (tmpl.style & kStyleHidden) == 0;
}

void Control::SetWindowText(std::wstring text) {
    m_text = std::move(text);
    Changed({ControlChange::What::Text});
}

void Control::ShowWindow(bool visible) {
    m_visible = visible;
    Changed({ControlChange::What::State});
}

void Control::EnableWindow(bool enabled) {
    m_enabled = enabled;
    Changed({ControlChange::What::State});
}

Rect Control::ScreenRect() const {
    return m_window != nullptr ? m_window->DialogToScreen(m_template.rect)
                               : DialogRectToScreen(m_template.rect);
}

}  // namespace platform::ui
