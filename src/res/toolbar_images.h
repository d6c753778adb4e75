#pragma once
// Command bar pictures: their places in the toolbar strip.

inline constexpr int IMG_MY_DEVICE = 0;
inline constexpr int IMG_STOWBOX = 1;
inline constexpr int IMG_UPLOAD = 2;
inline constexpr int IMG_DOWNLOAD = 3;
inline constexpr int IMG_NEW_FOLDER = 4;
inline constexpr int IMG_DELETE = 5;
inline constexpr int IMG_SHARE = 6;
inline constexpr int IMG_HELP = 7;
inline constexpr int IMG_MOVE = 8;
inline constexpr int IMG_EXIT = 9;
