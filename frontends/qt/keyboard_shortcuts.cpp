#include "keyboard_shortcuts.h"

#include <QComboBox>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "command_bar_view.h"
#include "command_keys.h"
#include "control_view.h"
#include "hold_menu_choice.h"
#include "report_list_view.h"
#include "res/resource.h"
#include "res/shortcuts.h"
#include "window_view.h"

namespace qtfront {

namespace {

// The path boxes whose entries are the levels of the folder shown.
constexpr int kPathBoxes[] = {IDC_PATHBOX, IDC_MOVE_PATHBOX};

QKeyCombination ToQt(ShortcutKey key) {
    switch (key) {
        case ShortcutKey::F1:
            return QKeyCombination(Qt::Key_F1);
        case ShortcutKey::CtrlM:
            break;
    }
    return QKeyCombination(Qt::ControlModifier, Qt::Key_M);
}

// The view of `window` while it shows and takes input: a blocked command bar means the
// program is busy, and keys then do nothing, as its buttons would.
WindowView* LiveView(QWidget& screen, const platform::ui::Window* window) {
    if (window == nullptr) {
        return nullptr;
    }
    for (WindowView* view : screen.findChildren<WindowView*>(Qt::FindDirectChildrenOnly)) {
        if (view->Shows(*window) && view->isVisible() && view->CommandBar().isEnabled()) {
            return view;
        }
    }
    return nullptr;
}

void Issue(const Shortcut& key, const platform::ui::Window& window) {
    const platform::ui::CommandBar& bar = window.GetCommandBar();
    if (key.whileVisible != 0 && !bar.IsVisible(key.whileVisible)) {
        return;
    }
    platform::ui::Message message;
    message.window = window.Handle();
    if (bar.Has(key.command)) {
        message.kind = platform::ui::MessageKind::Command;
        message.id = key.command;
    } else if (key.helpRequestOtherwise) {
        message.kind = platform::ui::MessageKind::Help;
    } else {
        return;
    }
    Post(message);
}

void PressBarButton(const platform::ui::Window& window, int command) {
    const platform::ui::CommandBar& bar = window.GetCommandBar();
    if (!bar.Has(command) || !bar.IsVisible(command) || !bar.IsEnabled(command)) {
        return;
    }
    platform::ui::Message message;
    message.kind = platform::ui::MessageKind::Command;
    message.window = window.Handle();
    message.id = command;
    Post(message);
}

// The window's list the hold menu keys work on: the focused one, else the first shown.
ReportListView* HoldList(const WindowView& view) {
    ReportListView* first = nullptr;
    for (ReportListView* list : view.findChildren<ReportListView*>()) {
        if (!list->isVisible() || !list->isEnabled() || list->List() == nullptr) {
            continue;
        }
        if (list->hasFocus()) {
            return list;
        }
        first = first != nullptr ? first : list;
    }
    return first;
}

void HoldMarkedRow(const WindowView& view, HoldMenuChoice& choice, int command) {
    ReportListView* list = HoldList(view);
    if (list == nullptr) {
        return;
    }
    const int mark = list->List()->GetSelectionMark();
    choice.Arm(command);
    list->Hold(mark >= 0 && mark < list->List()->GetItemCount() ? mark : -1);
}

void ChooseFolderAbove(const WindowView& view) {
    for (const int id : kPathBoxes) {
        auto* box = qobject_cast<QComboBox*>(view.ControlWidget(id));
        if (box == nullptr || !box->isVisible() || !box->isEnabled()) {
            continue;
        }
        const int above = box->currentIndex() - 1;
        if (above >= 0) {
            box->setCurrentIndex(above);
            emit box->activated(above);
        }
        return;
    }
}

void Act(const CommandKey& key, WindowView& view, HoldMenuChoice& choice) {
    switch (key.action) {
        case CommandKey::Action::BarCommand:
            PressBarButton(view.Model(), key.command);
            break;
        case CommandKey::Action::HoldMenuEntry:
            HoldMarkedRow(view, choice, key.command);
            break;
        case CommandKey::Action::FolderAbove:
            ChooseFolderAbove(view);
            break;
    }
}

QShortcut& MakeShortcut(QWidget& screen, QKeyCombination key) {
    auto* shortcut = new QShortcut(QKeySequence(key), &screen);
    shortcut->setContext(Qt::WindowShortcut);
    return *shortcut;
}

}  // namespace

void InstallKeyCommands(QWidget& screen, std::function<const platform::ui::Window*()> innermost) {
    for (const Shortcut& key : kShortcuts) {
        QObject::connect(&MakeShortcut(screen, ToQt(key.key)), &QShortcut::activated, &screen,
                         [key, innermost, &screen] {
                             if (WindowView* view = LiveView(screen, innermost())) {
                                 Issue(key, view->Model());
                             }
                         });
    }
    auto* choice = new HoldMenuChoice(screen);
    for (const CommandKey& key : CommandKeys()) {
        QObject::connect(&MakeShortcut(screen, key.key), &QShortcut::activated, &screen,
                         [key, innermost, &screen, choice] {
                             if (WindowView* view = LiveView(screen, innermost())) {
                                 Act(key, *view, *choice);
                             }
                         });
    }
}

}  // namespace qtfront
