#include "platform/ui/button.h"

#include "platform/ui/window.h"

namespace platform::ui {

bool Button::TapAt(Point) {
    Window* window = Owner();
    if (window == nullptr) {
        return false;
    }
    Message click;
    click.kind = MessageKind::Command;
    click.window = window->Handle();
    click.id = Id();
    window->Dispatch(click);
    return true;
}

}  // namespace platform::ui
