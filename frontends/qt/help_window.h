#pragma once
// The front end's own help viewer, for a desktop that cannot open the help page in a browser.

#include <QTextBrowser>

namespace qtfront {

class HelpWindow final : public QTextBrowser {
  public:
    HelpWindow();

    // Shows the page (a local HTML file) and brings the viewer to the front.
    void ShowPage(const QUrl& page);
};

}  // namespace qtfront
