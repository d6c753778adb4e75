#pragma once
// Device screen geometry: a 240 x 320 screen, a title strip on top, the command bar below.

namespace platform::ui {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Contains(Point p) const {
        return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height;
    }
    Point Centre() const { return {x + width / 2, y + height / 2}; }
    bool operator==(const Rect&) const = default;
};

inline constexpr int kScreenWidth = 240;
inline constexpr int kScreenHeight = 320;
inline constexpr int kTitleStripHeight = 26;
inline constexpr int kCommandBarHeight = 26;

// Dialog units to device pixels for the dialogs' 8-point font.
inline constexpr int DialogUnitsToPixelsX(int x) {
    return x * 3 / 2;
}
inline constexpr int DialogUnitsToPixelsY(int y) {
    return y * 13 / 8;
}

// A rectangle of a window's template in device-screen pixels: windows fill the screen
// below the title strip.
inline constexpr Rect DialogRectToScreen(Rect du) {
    const int left = DialogUnitsToPixelsX(du.x);
    const int top = DialogUnitsToPixelsY(du.y);
    return {left, kTitleStripHeight + top, DialogUnitsToPixelsX(du.x + du.width) - left,
            DialogUnitsToPixelsY(du.y + du.height) - top};
}

// List views draw fixed-height rows below their header, in device pixels.
inline constexpr int kListHeaderHeight = 16;
inline constexpr int kListRowHeight = 16;

}  // namespace platform::ui
