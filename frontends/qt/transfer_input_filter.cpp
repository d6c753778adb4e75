#include "transfer_input_filter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace qtfront {

namespace {

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
    }
}

}  // namespace

TransferInputFilter::TransferInputFilter(QWidget& screen, Scale scale)
    : m_screen(screen), m_scale(scale) {
    QCoreApplication::instance()->installEventFilter(this);
}

TransferInputFilter::~TransferInputFilter() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

TransferInputFilter::Swallowing::Swallowing(TransferInputFilter& filter,
                                            platform::ui::MessageQueue& queue)
    : m_filter(filter), m_previous(filter.m_queue) {
    m_filter.m_queue = &queue;
}

TransferInputFilter::Swallowing::~Swallowing() {
    m_filter.m_queue = m_previous;
}

bool TransferInputFilter::eventFilter(QObject* watched, QEvent* event) {
    if (m_queue == nullptr || !IsInput(event->type())) {
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        StylusDown(watched, event);
    } else if (event->type() == QEvent::KeyPress) {
        KeyDown(static_cast<const QKeyEvent&>(*event));
    }
    return true;
}

void TransferInputFilter::KeyDown(const QKeyEvent& key) {
    // Escape presses CANCEL, as it does in a window; the transfer's cancel check reads it.
    if (key.key() == Qt::Key_Escape && (key.modifiers() & ~Qt::KeypadModifier) == 0 &&
        !key.isAutoRepeat()) {
        platform::ui::Message escape;
        escape.kind = platform::ui::MessageKind::KeyDown;
        escape.id = platform::ui::kKeyEscape;
        m_queue->Post(escape);
    }
}

void TransferInputFilter::StylusDown(QObject* watched, const QEvent* event) {
    const auto* press = static_cast<const QMouseEvent*>(event);
    QPoint onScreen;
    // A native press reaches the top-level window first, a synthesised one may go straight
    // to a widget; whichever sees it first takes it, the other never does.
    if (watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget != &m_screen && !m_screen.isAncestorOf(widget)) {
            return;
        }
        onScreen = widget->mapTo(&m_screen, press->position().toPoint());
    } else if (watched->isWindowType()) {
        if (static_cast<QWindow*>(watched) != m_screen.windowHandle()) {
            return;
        }
        onScreen = press->position().toPoint();
    } else {
        return;
    }
    if (!m_screen.rect().contains(onScreen)) {
        return;
    }
    platform::ui::Message stylus;
    stylus.kind = platform::ui::MessageKind::StylusDown;
    stylus.point = m_scale.ToDevice(onScreen);
    m_queue->Post(stylus);
}

}  // namespace qtfront
