#include "focus_mark.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace qtfront {

FocusMark::FocusMark(QWidget& window, Scale scale) : QWidget(&window), m_scale(scale) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { Follow(now); });
    Follow(QApplication::focusWidget());
}

void FocusMark::Follow(QWidget* focused) {
    if (m_target != nullptr) {
        m_target->removeEventFilter(this);
    }
    const bool inside = focused != nullptr && parentWidget()->isAncestorOf(focused);
    m_target = inside ? focused : nullptr;
    if (m_target != nullptr) {
        // A control that moves, grows or hides takes its frame along.
        m_target->installEventFilter(this);
    }
    Place();
}

void FocusMark::Place() {
    if (m_target == nullptr || !m_target->isVisible() || !m_target->isEnabled()) {
        hide();
        return;
    }
    setGeometry(QRect(m_target->mapTo(parentWidget(), QPoint(0, 0)), m_target->size()));
    show();
    raise();
    update();
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::EnabledChange:
            Place();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

QRect FocusMark::Frame() const {
    return isHidden() ? QRect() : geometry();
}

void FocusMark::paintEvent(QPaintEvent*) {
    if (m_target == nullptr) {
        return;
    }
    const int width = m_scale.Px(kWidthDevicePixels);
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_target->palette().color(QPalette::Active, QPalette::Highlight));
    // Inside the control's edge: the controls touch the screen's edges and each other.
    const QRect frame = rect();
    const QRect inner = frame.adjusted(width, width, -width, -width);
    painter.drawRect(QRect(frame.left(), frame.top(), frame.width(), width));
    painter.drawRect(QRect(frame.left(), inner.bottom() + 1, frame.width(), width));
    painter.drawRect(QRect(frame.left(), inner.top(), width, inner.height()));
    painter.drawRect(QRect(inner.right() + 1, inner.top(), width, inner.height()));
}

}  // namespace qtfront
