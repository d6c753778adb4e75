#include "platform/ui/menu.h"

#include "platform/device.h"
#include "platform/ui/control.h"
#include "platform/ui/toolkit.h"
#include "platform/ui/window.h"

namespace platform::ui {

std::optional<Menu> Menu::LoadPopup(const MenuTemplate& tmpl) {
    if (tmpl.items.empty()) {
        return std::nullopt;
    }
    Menu menu;
    menu.m_title = std::wstring(tmpl.popupTitle);
    for (const MenuItemTemplate& item : tmpl.items) {
        menu.m_items.push_back({item.id, std::wstring(item.text)});
    }
    return menu;
}

bool Menu::HasCommand(int id) const {
    for (const MenuItem& item : m_items) {
        if (!item.IsSeparator() && item.id == id) {
            return true;
        }
    }
    return false;
}

int Menu::TrackPopup(Point screen, Control& owner) const {
    const int chosen = Device::Current().Frontend().TrackPopupMenu(*this, screen, owner);
    if (chosen != 0 && HasCommand(chosen) && owner.Owner() != nullptr) {
        Message command;
        command.kind = MessageKind::Command;
        command.window = owner.Owner()->Handle();
        command.control = owner.Id();
        command.id = chosen;
        PostMessage(command);
        return chosen;
    }
    return 0;
}

}  // namespace platform::ui
