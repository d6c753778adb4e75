#pragma once
// What a front end (headless or Qt) provides to the device's windowing toolkit.

#include <string>

#include "platform/ui/geometry.h"
#include "platform/ui/transfer_progress.h"

namespace platform::ui {

class Control;
class Menu;
class MessageQueue;
class Window;

enum class MessageBoxButtons { Ok, YesNo };
enum class MessageBoxIcon { None, Stop };
enum class MessageBoxAnswer { Ok, Yes, No };

class Frontend {
  public:
    virtual ~Frontend() = default;

    // Blocks, pumping the front end's own events, until a message is queued.
    virtual void WaitForInput(MessageQueue& queue) = 0;
    // Called by the transfer loop's cancel check before it takes a message: gives the front
    // end a chance to queue pending input. Must stay cheap (it runs once per data block).
    virtual void PumpPendingInput(MessageQueue& queue) = 0;
    // Called again and again while the program blocks in the socket layer (at least every
    // 50 ms): the front end may repaint, and must not let input reach the program's windows
    // meanwhile. Must stay cheap.
    virtual void NetworkWaiting(MessageQueue& /*queue*/) {}
    // The running file transfer moved on (some tens of times a second at most), or ended. The
    // progress bar's steps stay the program's; this only lets the front end show more.
    virtual void TransferProgressed(const TransferProgress& /*progress*/) {}

    // A modal message box; returns the answer.
    virtual MessageBoxAnswer ShowMessageBox(const std::wstring& text, const std::wstring& title,
                                            MessageBoxButtons buttons, MessageBoxIcon icon) = 0;
    // Shows a pop-up menu at a screen point; returns the chosen command or 0.
    virtual int TrackPopupMenu(const Menu& menu, Point screen, const Control& owner) = 0;

    virtual void WindowCreated(Window& window) = 0;
    virtual void WindowDestroyed(Window& window) = 0;
    virtual void TitleChanged(Window& window) = 0;
    // Paint a window (control 0) or one of its controls now, although no event loop runs.
    virtual void Repaint(Window& window, int controlId) = 0;
    virtual void WaitCursorChanged(bool shown) = 0;

    // Starts another program of the device without waiting; false when it cannot start.
    virtual bool StartProgram(const std::wstring& program, const std::wstring& commandLine) = 0;
    // The device's internet session is about to open this URL.
    virtual void UrlOpened(const std::wstring& /*url*/) {}
    // The device's network holds a protected connection from now on (true) or no longer.
    virtual void ProtectionChanged(bool /*isProtected*/) {}
};

}  // namespace platform::ui
