#include "window_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "command_bar_view.h"
#include "device_metrics.h"
#include "focus_mark.h"
#include "res/resource.h"
#include "title_strip.h"

namespace qtfront {

using platform::ui::ControlKind;

WindowView::WindowView(platform::ui::Window& window, QWidget& screen, const Artwork& artwork,
                       Scale scale)
    : QWidget(&screen),
      m_window(&window),
      m_scale(scale),
      m_context{scale, artwork, window.Handle(), window.Template().pointSize},
      m_title(nullptr),
      m_commandBar(nullptr) {
    setGeometry(scale.ToWidget({0, 0, platform::ui::kScreenWidth, platform::ui::kScreenHeight}));
    setFont(DeviceFont(scale, m_context.pointSize));
    const int background = window.Template().backgroundBitmap;
    // Controls show whole inside the dialog, never under the command bar.
    const QRect area = scale.ToWidget(window.GetWindowRect());
    for (platform::ui::Control* control : window.Controls()) {
        ControlView& view = MakeControlView(*control, *this, m_context);
        m_views.emplace_back(control->Id(), &view);
        if (const QRect placed = view.Widget().geometry();
            placed.intersects(area) && !area.contains(placed)) {
            view.Widget().setGeometry(placed.intersected(area));
        }
        if (control->Kind() == ControlKind::Picture) {
            // Pictures lie beneath the other controls.
            view.Widget().lower();
            if (control->Template().bitmap == background) {
                m_drawBackground = false;
            }
        }
    }
    m_title = new TitleStrip(*this, scale, artwork.Icon(IDI_APP, 16));
    m_commandBar = new CommandBarView(window.GetCommandBar(), *this, m_context);
    m_title->raise();
    m_commandBar->raise();
    m_focusMark = new FocusMark(*this, scale);
    UpdateTitle();
}

void WindowView::Unbind(bool modelsAlive) {
    for (auto& [id, view] : m_views) {
        view->Unbind(modelsAlive);
    }
    m_commandBar->Unbind(modelsAlive);
    m_window = nullptr;
}

void WindowView::Sync() {
    for (auto& [id, view] : m_views) {
        view->Sync();
    }
}

void WindowView::UpdateTitle() {
    if (m_window != nullptr) {
        m_title->SetTitle(ToQString(m_window->GetWindowText()));
    }
}

void WindowView::RepaintNow(int controlId) {
    Sync();
    if (controlId == 0) {
        repaint();
        return;
    }
    if (QWidget* widget = ControlWidget(controlId)) {
        widget->repaint();
    }
}

void WindowView::FocusFirstControl() {
    for (auto& [id, view] : m_views) {
        QWidget& widget = view->Widget();
        if (widget.isVisible() && widget.isEnabled() && widget.focusPolicy() != Qt::NoFocus) {
            widget.setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void WindowView::SetInputBlocked(bool blocked) {
    m_commandBar->setEnabled(!blocked);
    if (m_window == nullptr) {
        return;
    }
    const int cancelControl = m_window->TransferCancelControl();
    for (auto& [id, view] : m_views) {
        const bool stayLive = id != 0 && id == cancelControl;
        view->SetInputBlocked(blocked && !stayLive);
    }
}

QWidget* WindowView::ControlWidget(int id) const {
    for (const auto& [controlId, view] : m_views) {
        if (controlId == id && id != 0) {
            return &view->Widget();
        }
    }
    return nullptr;
}

void WindowView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.scale(m_scale.factor, m_scale.factor);
    const QRectF screen(0, 0, platform::ui::kScreenWidth, platform::ui::kScreenHeight);
    painter.fillRect(screen, QColor(0xf4, 0xf5, 0xf7));
    if (m_window == nullptr || !m_drawBackground) {
        return;
    }
    const platform::ui::DialogTemplate& tmpl = m_window->Template();
    if (tmpl.backgroundBitmap != 0) {
        const platform::ui::Rect& area = m_window->GetWindowRect();
        const QRectF rect(area.x, area.y, area.width, area.height);
        Artwork::DrawBitmap(painter, tmpl.backgroundBitmap, rect,
                            CaptionsFor(tmpl.backgroundBitmap, *m_window));
    }
}

void WindowView::PostStylus(platform::ui::MessageKind kind, QPoint pos) const {
    if (m_window == nullptr) {
        return;
    }
    platform::ui::Message stylus;
    stylus.kind = kind;
    stylus.window = m_context.window;
    stylus.point = m_scale.ToDevice(pos);
    Post(stylus);
}

void WindowView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        PostStylus(platform::ui::MessageKind::StylusDown, event->position().toPoint());
    }
}

void WindowView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        PostStylus(platform::ui::MessageKind::StylusUp, event->position().toPoint());
    }
}

}  // namespace qtfront
