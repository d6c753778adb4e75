#include <algorithm>

#include "platform/ui/dialog.h"

// Where the device puts a dialog: its controls keep their places relative to the dialog's
// top-left corner; the front ends draw the window's rectangle.

namespace platform::ui {

void Dialog::CommonDialogSetUp() {
    MoveWindow({0, kTitleStripHeight, kScreenWidth,
                kScreenHeight - kTitleStripHeight - kCommandBarHeight});
}

void Dialog::CenterWindow() {
    const Rect& current = GetWindowRect();
    // The title strip stays the device's own; a dialog larger than the rest of the screen
    // keeps its top edge just below it.
    const int areaHeight = kScreenHeight - kTitleStripHeight;
    MoveWindow({std::max(0, (kScreenWidth - current.width) / 2),
                kTitleStripHeight + std::max(0, (areaHeight - current.height) / 2), current.width,
                current.height});
}

}  // namespace platform::ui
