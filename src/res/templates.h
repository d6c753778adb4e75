#pragma once
// The dialog templates, menus and toolbar of the program.

#include <span>

#include "platform/ui/dialog_template.h"

namespace res {

const platform::ui::DialogTemplate& LoginDialog();
const platform::ui::DialogTemplate& FileManagerDialog();
const platform::ui::DialogTemplate& NewFolderDialog();
const platform::ui::DialogTemplate& MoveFileDialog();
const platform::ui::DialogTemplate& ShareFileDialog();
const platform::ui::MenuTemplate& FileListPopupMenu();

// The file manager's command bar: ten image buttons in order, with their tooltips.
std::span<const platform::ui::CommandBarButtonTemplate> FileManagerToolbar();

}  // namespace res
