#pragma once
// The Qt 6 Widgets front end of the device: the innermost window on a scaled device screen,
// every control bound to its model, input turned into messages, message boxes, pop-up menus,
// the wait cursor and the help viewer.

#include <QImage>
#include <QPointer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

#include "artwork.h"
#include "automation.h"
#include "device_screen.h"
#include "device_style.h"
#include "help_window.h"
#include "platform/ui/frontend.h"
#include "scale.h"
#include "transfer_input_filter.h"
#include "window_view.h"

namespace qtfront {

class ReportListView;

class QtFrontend final : public platform::ui::Frontend {
  public:
    // Needs a QApplication. `showScreen`: put the screen on the desktop when a window opens.
    explicit QtFrontend(Scale scale, bool showScreen = true);
    ~QtFrontend() override;
    QtFrontend(const QtFrontend&) = delete;
    QtFrontend& operator=(const QtFrontend&) = delete;

    // Input from a script or a test instead of (or besides) a person; null for none.
    void SetAutomation(Automation* automation) { m_automation = automation; }
    // Opens a help page; the desktop's browser unless replaced.
    std::function<bool(const QUrl&)> openUrl;

    DeviceScreen& Screen() const { return *m_screen; }
    Scale ScreenScale() const { return m_scale; }
    // The view of a window, or null when it has none (not yet or no longer open).
    WindowView* ViewOf(const platform::ui::Window& window) const;
    // The view on the screen: the innermost window's.
    WindowView* ShownView() const;
    // The front end's own help viewer, once the desktop could not open a help page.
    HelpWindow* HelpViewer() const { return m_helpWindow.get(); }
    // A picture of the device screen as it is now.
    QImage Grab();
    // Applies held-back model changes of every window.
    void SyncViews();

    void WaitForInput(platform::ui::MessageQueue& queue) override;
    void PumpPendingInput(platform::ui::MessageQueue& queue) override;
    void NetworkWaiting(platform::ui::MessageQueue& queue) override;
    void TransferProgressed(const platform::ui::TransferProgress& progress) override;
    platform::ui::MessageBoxAnswer ShowMessageBox(const std::wstring& text,
                                                  const std::wstring& title,
                                                  platform::ui::MessageBoxButtons buttons,
                                                  platform::ui::MessageBoxIcon icon) override;
    int TrackPopupMenu(const platform::ui::Menu& menu, platform::ui::Point screen,
                       const platform::ui::Control& owner) override;
    void WindowCreated(platform::ui::Window& window) override;
    void WindowDestroyed(platform::ui::Window& window) override;
    void TitleChanged(platform::ui::Window& window) override;
    void Repaint(platform::ui::Window& window, int controlId) override;
    void WaitCursorChanged(bool shown) override;
    bool StartProgram(const std::wstring& program, const std::wstring& commandLine) override;
    void UrlOpened(const std::wstring& url) override;
    void ProtectionChanged(bool isProtected) override;

    // How often a transfer's cancel check lets Qt handle events, at most.
    static constexpr std::chrono::milliseconds kPumpInterval{5};
    // While the program waits for the network, the screen is painted at least this often.
    static constexpr std::chrono::milliseconds kWaitRepaintInterval{80};
    // Whether the program is busy and the shown window drawn inactive.
    bool InputBlocked() const { return m_inputBlocked; }

  private:
    void ShowInnermost();
    // The list view of a hold menu's owner, or null when the owner is no shown list.
    ReportListView* OwnerListView(const platform::ui::Control& owner) const;
    // What closing the desktop window asks of the program.
    platform::ui::Message CloseMessage() const;
    // Lets Qt handle events with input swallowed into `queue`, the windows drawn busy.
    void PumpSwallowing(platform::ui::MessageQueue& queue);
    // Draws every window busy (or as its models say again) and keeps the keyboard focus.
    void SetInputBlocked(bool blocked);

    Scale m_scale;
    bool m_showScreen;
    Artwork m_artwork;
    std::unique_ptr<DeviceStyle> m_style;  // outlives every widget that uses it
    // Declared before the views: the screen is their parent and must outlive them.
    std::unique_ptr<DeviceScreen> m_screen;
    std::unique_ptr<TransferInputFilter> m_transferFilter;
    std::map<const platform::ui::Window*, std::unique_ptr<WindowView>> m_views;
    std::unique_ptr<HelpWindow> m_helpWindow;
    Automation* m_automation = nullptr;
    bool m_closeRequested = false;
    bool m_protected = false;  // the title strips show the lock
    bool m_waitCursor = false;
    std::chrono::steady_clock::time_point m_lastPump{};
    std::chrono::steady_clock::time_point m_lastWaitRepaint{};
    bool m_inputBlocked = false;
    QPointer<QWidget> m_focusBeforeBlock;
};

}  // namespace qtfront
