#include "hold_menu_choice.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>

namespace qtfront {

HoldMenuChoice::HoldMenuChoice(QObject& parent) : QObject(&parent) {
    QCoreApplication::instance()->installEventFilter(this);
}

HoldMenuChoice::~HoldMenuChoice() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

bool HoldMenuChoice::eventFilter(QObject* watched, QEvent* event) {
    if (m_command == 0) {
        return false;
    }
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
            m_command = 0;
            return false;
        case QEvent::Show:
            break;
        default:
            return false;
    }
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu == nullptr) {
        return false;
    }
    const int command = m_command;
    m_command = 0;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator() && action->data().toInt() == command) {
            // Chosen as a person would with Enter, so the menu's run returns the entry; it
            // never shows, being transparent until it closes.
            menu->setWindowOpacity(0.0);
            menu->setActiveAction(action);
            QCoreApplication::postEvent(
                menu, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
            return false;
        }
    }
    // A menu without the entry is closed as if dismissed.
    QCoreApplication::postEvent(menu,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    return false;
}

}  // namespace qtfront
