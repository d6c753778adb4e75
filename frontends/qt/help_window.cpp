#include "help_window.h"

#include <QKeyEvent>

namespace qtfront {

HelpWindow::HelpWindow() : QTextBrowser(nullptr) {
    setWindowTitle(QStringLiteral("Kestra Help"));
    // Links to other pages of the device stay in the viewer; the web goes to the desktop.
    setOpenExternalLinks(true);
    resize(480, 560);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    // The keys a desktop viewer closes with.
    if (event->matches(QKeySequence::Cancel) ||
        (event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier)) {
        close();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

void HelpWindow::ShowPage(const QUrl& page, const QWidget* over) {
    setSource(page);
    if (!isVisible() && over != nullptr) {
        const QRect frame = over->window()->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    activateWindow();
}

}  // namespace qtfront
