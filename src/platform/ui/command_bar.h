#pragma once
// The device command bar: image buttons that can be hidden, shown, enabled and disabled.

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/ui/control.h"
#include "platform/ui/dialog_template.h"

namespace platform::ui {

struct CommandBarButton {
    int id = 0;
    int image = 0;
    std::wstring tooltip;
    bool visible = true;
    bool enabled = true;
};

class CommandBar {
  public:
    void AddButtons(std::span<const CommandBarButtonTemplate> buttons);
    bool HideButton(int id, bool hide);
    bool EnableButton(int id, bool enable);
    bool IsVisible(int id) const;
    bool IsEnabled(int id) const;
    bool Has(int id) const { return Find(id) != nullptr; }
    const std::vector<CommandBarButton>& Buttons() const { return m_buttons; }
    bool Empty() const { return m_buttons.empty(); }

    void SetObserver(Control::Observer observer) { m_observer = std::move(observer); }

  private:
    CommandBarButton* Find(int id);
    const CommandBarButton* Find(int id) const;
    void Changed() const {
        if (m_observer) {
            m_observer({ControlChange::What::Buttons, 0, 0});
        }
    }

    std::vector<CommandBarButton> m_buttons;
    Control::Observer m_observer;
};

}  // namespace platform::ui
