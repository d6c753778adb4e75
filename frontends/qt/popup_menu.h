#pragma once
// The device's pop-up menus as Qt menus.

#include <QFont>
#include <QPoint>

#include "platform/ui/menu.h"

class QWidget;

namespace qtfront {

// Shows `menu` with its top-left corner at `global` and returns the chosen command, or 0
// when the menu was dismissed.
int RunPopupMenu(const platform::ui::Menu& menu, QPoint global, QWidget* parent, const QFont& font);

}  // namespace qtfront
