#pragma once
// Pop-up menus built from menu templates.

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/dialog_template.h"
#include "platform/ui/geometry.h"

namespace platform::ui {

class Control;

struct MenuItem {
    int id = 0;  // 0 for a separator
    std::wstring text;
    bool IsSeparator() const { return id == 0; }
};

class Menu {
  public:
    // Loads a menu template's first pop-up; nothing when the template has no items.
    static std::optional<Menu> LoadPopup(const MenuTemplate& tmpl);

    const std::wstring& Title() const { return m_title; }
    const std::vector<MenuItem>& Items() const { return m_items; }
    bool HasCommand(int id) const;

    // Shows the pop-up at a screen point and, when a person chooses an entry, posts its
    // command to the owner control. Returns the chosen command, 0 when dismissed.
    int TrackPopup(Point screen, Control& owner) const;

  private:
    std::wstring m_title;
    std::vector<MenuItem> m_items;
};

}  // namespace platform::ui
