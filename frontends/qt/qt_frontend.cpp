#include "qt_frontend.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QIcon>

#include "device_metrics.h"
#include "dialog_keys.h"
#include "held_row_mark.h"
#include "help_viewer.h"
#include "help_window.h"
#include "keyboard_shortcuts.h"
#include "message_box.h"
#include "platform/device.h"
#include "popup_menu.h"
#include "progress_view.h"
#include "report_list_view.h"
#include "res/resource.h"
#include "title_strip.h"

namespace qtfront {

using platform::ui::MessageBoxAnswer;
using platform::ui::MessageQueue;
using platform::ui::Window;

QtFrontend::QtFrontend(Scale scale, bool showScreen)
    : m_scale(scale),
      m_showScreen(showScreen),
      m_artwork(scale),
      m_style(std::make_unique<DeviceStyle>(scale)),
      m_screen(std::make_unique<DeviceScreen>(scale)),
      m_transferFilter(std::make_unique<TransferInputFilter>(*m_screen, scale)) {
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    m_screen->setWindowIcon(QIcon(m_artwork.Icon(IDI_APP, 32)));
    m_screen->onCloseRequested = [this] { m_closeRequested = true; };
    InstallKeyCommands(*m_screen, [this]() -> const Window* {
        const WindowView* shown = ShownView();
        return shown != nullptr ? &shown->Model() : nullptr;
    });
}

QtFrontend::~QtFrontend() {
    if (m_waitCursor) {
        QGuiApplication::restoreOverrideCursor();
    }
    // Windows still listed here ended without being destroyed (a run stopped by an
    // exception); their models may be gone, so the views only forget them.
    for (auto& [window, view] : m_views) {
        view->Unbind(false);
    }
    m_views.clear();
}

WindowView* QtFrontend::ViewOf(const Window& window) const {
    const auto found = m_views.find(&window);
    return found == m_views.end() ? nullptr : found->second.get();
}

WindowView* QtFrontend::ShownView() const {
    if (!platform::Device::HasCurrent()) {
        return nullptr;
    }
    const auto& windows = platform::Device::Current().Windows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (WindowView* view = ViewOf(**it)) {
            return view;
        }
    }
    return nullptr;
}

void QtFrontend::SyncViews() {
    for (auto& [window, view] : m_views) {
        view->Sync();
    }
}

QImage QtFrontend::Grab() {
    SyncViews();
    QCoreApplication::sendPostedEvents();
    return m_screen->grab().toImage();
}

void QtFrontend::ShowInnermost() {
    WindowView* shown = ShownView();
    for (auto& [window, view] : m_views) {
        if (view.get() != shown) {
            view->hide();
        }
    }
    if (shown != nullptr && shown->isHidden()) {
        shown->show();
        shown->raise();
        shown->FocusFirstControl();
    }
}

void QtFrontend::WaitForInput(MessageQueue& queue) {
    SetInputBlocked(false);
    while (queue.Empty()) {
        SyncViews();
        if (m_closeRequested) {
            m_closeRequested = false;
            queue.Post(CloseMessage());
            return;
        }
        if (m_automation != nullptr) {
            QCoreApplication::processEvents();
            if (!queue.Empty()) {
                return;
            }
            if (m_automation->Idle(platform::Device::Current())) {
                continue;
            }
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void QtFrontend::PumpPendingInput(MessageQueue& queue) {
    if (m_automation != nullptr) {
        const TransferInputFilter::Swallowing swallowing(*m_transferFilter, queue);
        m_automation->CancelCheck(queue);
    }
    PumpSwallowing(queue);
}

void QtFrontend::NetworkWaiting(MessageQueue& queue) {
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastWaitRepaint >= kWaitRepaintInterval) {
        m_lastWaitRepaint = now;
        // Nothing may have changed, but a screen left alone for long looks hung.
        if (WindowView* shown = ShownView()) {
            shown->update();
        }
        m_lastPump = {};
    }
    PumpSwallowing(queue);
}

void QtFrontend::TransferProgressed(const platform::ui::TransferProgress& progress) {
    // Every window's bars hear it, so that none keeps showing a transfer that has ended.
    for (auto& [window, view] : m_views) {
        for (QProgressBar* bar : view->findChildren<QProgressBar*>()) {
            if (auto* progressView = dynamic_cast<ProgressView*>(bar)) {
                progressView->ShowTransfer(progress);
            }
        }
    }
}

void QtFrontend::PumpSwallowing(MessageQueue& queue) {
    // Once per data block or network wait: handle events only every few milliseconds, or
    // the transfer would spend its time here.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastPump < kPumpInterval) {
        return;
    }
    m_lastPump = now;
    const TransferInputFilter::Swallowing swallowing(*m_transferFilter, queue);
    SetInputBlocked(true);
    SyncViews();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtFrontend::SetInputBlocked(bool blocked) {
    if (blocked == m_inputBlocked) {
        return;
    }
    m_inputBlocked = blocked;
    if (blocked) {
        m_focusBeforeBlock = QApplication::focusWidget();
    }
    for (auto& [window, view] : m_views) {
        view->SetInputBlocked(blocked);
    }
    if (blocked) {
        return;
    }
    // The focus goes back where it was, or, in a window opened meanwhile, where a new
    // window puts it.
    WindowView* shown = ShownView();
    if (m_focusBeforeBlock != nullptr && m_focusBeforeBlock->isEnabled() &&
        m_focusBeforeBlock->isVisible()) {
        m_focusBeforeBlock->setFocus(Qt::OtherFocusReason);
    } else if (shown != nullptr && (QApplication::focusWidget() == nullptr ||
                                    !shown->isAncestorOf(QApplication::focusWidget()))) {
        shown->FocusFirstControl();
    }
    m_focusBeforeBlock = nullptr;
}

platform::ui::Message QtFrontend::CloseMessage() const {
    platform::ui::Message message;
    // The shown window decides what closing means; with none shown, every run ends.
    message.kind = platform::ui::MessageKind::Quit;
    if (const WindowView* shown = ShownView()) {
        message.kind = platform::ui::MessageKind::Close;
        message.window = shown->Model().Handle();
    }
    return message;
}

MessageBoxAnswer QtFrontend::ShowMessageBox(const std::wstring& text, const std::wstring& title,
                                            platform::ui::MessageBoxButtons buttons,
                                            platform::ui::MessageBoxIcon icon) {
    SetInputBlocked(false);
    SyncViews();
    if (m_automation != nullptr) {
        if (const auto answer = m_automation->AnswerBox(text, title, buttons, icon)) {
            return *answer;
        }
    }
    return RunMessageBox(*m_screen, m_scale, text, title, buttons, icon);
}

int QtFrontend::TrackPopupMenu(const platform::ui::Menu& menu, platform::ui::Point screen,
                               const platform::ui::Control& owner) {
    SetInputBlocked(false);
    SyncViews();
    const HeldRowMark held(OwnerListView(owner), screen);
    if (m_automation != nullptr) {
        if (const auto chosen = m_automation->ChooseMenuEntry(menu)) {
            return *chosen;
        }
    }
    const QPoint global = m_screen->mapToGlobal(m_scale.ToWidget(screen));
    return RunPopupMenu(menu, global, m_screen.get(), DeviceFont(m_scale, 8));
}

ReportListView* QtFrontend::OwnerListView(const platform::ui::Control& owner) const {
    const auto found = m_views.find(owner.Owner());
    if (found == m_views.end()) {
        return nullptr;
    }
    return dynamic_cast<ReportListView*>(found->second->ControlWidget(owner.Id()));
}

void QtFrontend::WindowCreated(Window& window) {
    auto view = std::make_unique<WindowView>(window, *m_screen, m_artwork, m_scale);
    m_style->Apply(*view);
    view->SetInputBlocked(m_inputBlocked);
    view->Title().SetProtected(m_protected);
    new DialogKeys(window, *view);  // owned by the view
    m_views[&window] = std::move(view);
    ShowInnermost();
    if (m_showScreen && !m_screen->isVisible()) {
        m_screen->show();
    }
    if (m_automation != nullptr) {
        m_automation->WindowOpened(window);
    }
}

void QtFrontend::WindowDestroyed(Window& window) {
    if (m_automation != nullptr) {
        m_automation->WindowClosed(window);
    }
    const auto found = m_views.find(&window);
    if (found != m_views.end()) {
        found->second->Unbind(true);
        m_views.erase(found);
    }
    ShowInnermost();
}

void QtFrontend::ProtectionChanged(bool isProtected) {
    m_protected = isProtected;
    for (const auto& shown : m_views) {
        shown.second->Title().SetProtected(isProtected);
    }
}

void QtFrontend::TitleChanged(Window& window) {
    if (WindowView* view = ViewOf(window)) {
        view->UpdateTitle();
    }
}

void QtFrontend::Repaint(Window& window, int controlId) {
    if (WindowView* view = ViewOf(window)) {
        view->RepaintNow(controlId);
    }
}

void QtFrontend::WaitCursorChanged(bool shown) {
    if (shown == m_waitCursor) {
        return;
    }
    m_waitCursor = shown;
    if (shown) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

void QtFrontend::UrlOpened(const std::wstring& url) {
    if (m_automation != nullptr) {
        m_automation->UrlOpened(url);
    }
}

bool QtFrontend::StartProgram(const std::wstring& program, const std::wstring& commandLine) {
    if (m_automation != nullptr && m_automation->ProgramStarted(program, commandLine)) {
        return true;
    }
    const auto page = PrepareHelpPage(platform::Device::Current().Files(), program, commandLine,
                                      ShippedHelpPage());
    if (!page) {
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(page->string()));
    if (openUrl && openUrl(url)) {
        return true;
    }
    // No browser on this desktop: the page still shows, in the front end's own viewer.
    if (!m_helpWindow) {
        m_helpWindow = std::make_unique<HelpWindow>();
    }
    m_helpWindow->ShowPage(url, m_screen.get());
    return true;
}

}  // namespace qtfront
