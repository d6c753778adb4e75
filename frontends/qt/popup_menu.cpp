#include "popup_menu.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <algorithm>

#include "control_view.h"

namespace qtfront {
namespace {

// The menu sizes an entry by its text's ink, but the style draws it by its advance and
// elides what does not fit, which cut entries short at large scales ("Sha…ile"). Room for
// the difference, and an ellipsis more, keeps every entry whole.
int RoomForWholeEntries(const QMenu& popup) {
    const QFontMetrics metrics(popup.font());
    int shortfall = 0;
    for (const QAction* action : popup.actions()) {
        const QString text = action->text();
        shortfall = std::max(shortfall,
                             metrics.horizontalAdvance(text) - metrics.boundingRect(text).width());
    }
    return shortfall + metrics.horizontalAdvance(QChar(0x2026));
}

}  // namespace

int RunPopupMenu(const platform::ui::Menu& menu, QPoint global, QWidget* parent,
                 const QFont& font) {
    QMenu popup(parent);
    popup.setFont(font);
    popup.setTitle(ToQString(menu.Title()));
    for (const platform::ui::MenuItem& item : menu.Items()) {
        if (item.IsSeparator()) {
            popup.addSeparator();
        } else {
            popup.addAction(ToQString(item.text))->setData(item.id);
        }
    }
    popup.setMinimumWidth(popup.sizeHint().width() + RoomForWholeEntries(popup));
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const QAction* chosen = popup.exec(global);
    QGuiApplication::restoreOverrideCursor();
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

}  // namespace qtfront
