#pragma once
// The front end's own help viewer, for a desktop that cannot open the help page in a browser.

#include <QTextBrowser>

class QKeyEvent;
class QWidget;

namespace qtfront {

class HelpWindow final : public QTextBrowser {
  public:
    HelpWindow();

    // Shows the page (a local HTML file) and brings the viewer to the front; when it was not
    // showing, it opens centred over `over` (the program's window) when given. Escape and
    // Ctrl+W close it.
    void ShowPage(const QUrl& page, const QWidget* over = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qtfront
