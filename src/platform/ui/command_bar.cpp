#include "platform/ui/command_bar.h"

#include <utility>

namespace platform::ui {

void CommandBar::AddButtons(std::span<const CommandBarButtonTemplate> buttons) {
    for (const CommandBarButtonTemplate& button : buttons) {
        m_buttons.push_back({button.id, button.image, std::wstring(button.tooltip), true, true});
    }
    Changed();
}

bool CommandBar::HideButton(int id, bool hide) {
    CommandBarButton* button = Find(id);
    if (button == nullptr) {
        return false;
    }
    button->visible = !hide;
    Changed();
    return true;
}

bool CommandBar::EnableButton(int id, bool enable) {
    CommandBarButton* button = Find(id);
    if (button == nullptr) {
        return false;
    }
    button->enabled = enable;
    Changed();
    return true;
}

bool CommandBar::IsVisible(int id) const {
    const CommandBarButton* button = Find(id);
    return button != nullptr && button->visible;
}

bool CommandBar::IsEnabled(int id) const {
    const CommandBarButton* button = Find(id);
    return button != nullptr && button->enabled;
}

const CommandBarButton* CommandBar::Find(int id) const {
    for (const CommandBarButton& button : m_buttons) {
        if (button.id == id) {
            return &button;
        }
    }
    return nullptr;
}

CommandBarButton* CommandBar::Find(int id) {
    // The search reads only; the button is this bar's own, so it may be changed.
    return const_cast<CommandBarButton*>(std::as_const(*this).Find(id));
}

}  // namespace platform::ui
