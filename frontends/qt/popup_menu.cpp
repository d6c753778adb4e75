#include "popup_menu.h"

#include <QGuiApplication>
#include <QMenu>

#include "control_view.h"

namespace qtfront {

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
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const QAction* chosen = popup.exec(global);
    QGuiApplication::restoreOverrideCursor();
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

}  // namespace qtfront
