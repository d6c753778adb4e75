#pragma once
// Window messages: what a front end turns a person's input into.

#include <cstdint>

#include "platform/ui/geometry.h"

namespace platform::ui {

using WindowHandle = std::uint32_t;

enum class MessageKind {
    Command,     // a button, toolbar button, menu entry or shortcut; id = command id
    Notify,      // a control notification; id = control id, code = notification code
    StylusDown,  // point in device-screen pixels
    StylusUp,
    Help,     // the shell's help request
    KeyDown,  // a key the program reads itself; id = key code
    Quit,     // ends every modal run
    Close,    // the person asked to close the window (the desktop's close button)
};

// Notification codes.
inline constexpr int kNotifyDoubleTap = -3;           // list view: double tap on a row
inline constexpr int kNotifyColumnClick = -108;       // list view: header tapped; column set
inline constexpr int kNotifyHeaderBeginTrack = -306;  // header: a column resize starts; column set
inline constexpr int kNotifyTapAndHold = 1000;        // list view: tap-and-hold; point set
inline constexpr int kNotifySelChange = 1;            // combo box: a person chose an entry

// Key codes of KeyDown messages.
inline constexpr int kKeyEscape = 0x1B;

// Standard command ids of dialogs.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

struct Message {
    MessageKind kind = MessageKind::Command;
    WindowHandle window = 0;  // target window; 0 = the innermost window
    int control = 0;          // target control of the window, 0 = the window itself
    int id = 0;
    int code = 0;
    Point point{};    // device-screen pixels
    int item = -1;    // row of a list notification
    int column = -1;  // column of a header notification
};

}  // namespace platform::ui
