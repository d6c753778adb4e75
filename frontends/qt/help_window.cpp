#include "help_window.h"

namespace qtfront {

HelpWindow::HelpWindow() : QTextBrowser(nullptr) {
    setWindowTitle(QStringLiteral("Kestra Help"));
    // Links to other pages of the device stay in the viewer; the web goes to the desktop.
    setOpenExternalLinks(true);
    resize(480, 560);
}

void HelpWindow::ShowPage(const QUrl& page) {
    setSource(page);
    show();
    raise();
    activateWindow();
}

}  // namespace qtfront
