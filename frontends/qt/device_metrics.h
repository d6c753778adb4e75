#pragma once
// Sizes of the device's user interface, in device pixels, that the templates leave open.

#include <QFont>

#include "scale.h"

namespace qtfront {

// A drop-down combo box is this high when closed; its template height is the open list.
inline constexpr int kComboClosedHeight = 17;
// Command bar buttons: square, with a 16-pixel image.
inline constexpr int kCommandButtonSize = 24;
inline constexpr int kToolbarImageSize = 16;
// Width of the check box area at the left of a list row, then the small icon.
inline constexpr int kListCheckWidth = 17;
inline constexpr int kListIconSize = 16;
// A press held this long without moving is a tap-and-hold.
inline constexpr int kHoldMilliseconds = 600;
inline constexpr int kHoldSlopPixels = 4;  // device pixels

// The device's dialog font at a point size, drawn at the screen's scale.
QFont DeviceFont(const Scale& scale, int pointSize, bool bold = false);

}  // namespace qtfront
