#pragma once
// Dialog templates: the controls of a window with their ids, kinds, texts and rectangles in
// dialog units, as the program's resources describe them.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ui/geometry.h"
#include "platform/ui/message.h"

namespace platform::ui {

enum class ControlKind { Edit, Button, CheckBox, ComboBox, ListView, ProgressBar, Picture };

// Style bits of a control template.
inline constexpr std::uint32_t kStylePassword = 0x0001;     // edit shows masking characters
inline constexpr std::uint32_t kStyleAutoHScroll = 0x0002;  // edit scrolls horizontally
inline constexpr std::uint32_t kStyleBorder = 0x0004;
inline constexpr std::uint32_t kStyleSortAscending = 0x0008;  // list view places rows by name
inline constexpr std::uint32_t kStyleReport = 0x0010;         // list view in report style
inline constexpr std::uint32_t kStyleDropDownList = 0x0020;   // combo box without typing
inline constexpr std::uint32_t kStyleHidden = 0x0040;
inline constexpr std::uint32_t kStyleReadOnly = 0x0080;  // edit shows its text, takes no typing
inline constexpr std::uint32_t kStyleLeftText = 0x0100;  // check box: its text left of the box
inline constexpr std::uint32_t kStyleDefaultButton = 0x0200;  // the dialog's default button

struct ControlTemplate {
    int id = 0;  // 0 for static pictures
    ControlKind kind = ControlKind::Picture;
    std::wstring_view text;
    Rect rect;  // dialog units
    std::uint32_t style = 0;
    int bitmap = 0;  // bitmap resource of a picture
};

// A dialog without a button for Enter or Escape.
inline constexpr int kNoButton = 0;

struct DialogTemplate {
    int id = 0;
    std::wstring_view title;
    std::wstring_view font;
    int pointSize = 8;
    int width = 0;  // dialog units
    int height = 0;
    std::span<const ControlTemplate> controls;
    int backgroundBitmap = 0;
    // What Enter and Escape press on a keyboard: the device's OK and Cancel unless the
    // dialog names buttons of its own; kNoButton where the key presses nothing.
    int defaultButton = kIdOk;
    int cancelButton = kIdCancel;
};

struct MenuItemTemplate {
    int id = 0;  // 0 for a separator
    std::wstring_view text;
};

struct MenuTemplate {
    int id = 0;
    std::wstring_view popupTitle;
    std::span<const MenuItemTemplate> items;
};

struct CommandBarButtonTemplate {
    int id = 0;
    int image = 0;  // index in the toolbar image strip
    std::wstring_view tooltip;
};

}  // namespace platform::ui
