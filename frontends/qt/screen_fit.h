#pragma once
// How large the device screen is drawn on the desktop: the largest whole scale that fits.

#include <optional>
#include <string>

namespace qtfront {

inline constexpr int kLargestDefaultScale = 3;

// The largest whole scale, 1 to 3, at which the device screen fits `availableHeight` desktop
// pixels; 1 when even that does not fit.
int FittingScale(int availableHeight);

// Why an explicit scale cannot be used on a desktop of `availableHeight` pixels, or nothing
// when it fits. A scale of 1 is always allowed.
std::optional<std::string> ScaleMisfit(int scale, int availableHeight);

// The desktop's available height for the program's window; nothing when there is no desktop
// (the offscreen platform). Needs a QGuiApplication.
std::optional<int> AvailableDesktopHeight();

}  // namespace qtfront
