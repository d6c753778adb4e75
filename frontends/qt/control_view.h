#pragma once
// A Qt widget bound to one control model: it renders the model and turns a person's input
// into model changes and messages.

#include <QString>
#include <string>

#include "artwork.h"
#include "platform/ui/control.h"
#include "platform/ui/message.h"
#include "scale.h"

class QWidget;

namespace qtfront {

// What every control view of one window shares.
struct ViewContext {
    Scale scale;
    const Artwork& artwork;
    platform::ui::WindowHandle window = 0;
    int pointSize = 8;
};

class ControlView {
  public:
    virtual ~ControlView() = default;

    virtual QWidget& Widget() = 0;
    // Stops listening to the model. `modelAlive` false: the model is gone already, only
    // forget it.
    virtual void Unbind(bool modelAlive) = 0;
    // Applies changes that were held back so that bulk updates redraw once.
    virtual void Sync() {}
    // While the program is busy and input is swallowed, a control that would take a press
    // is drawn inactive; its model's state does not change.
    virtual void SetInputBlocked(bool /*blocked*/) {}
};

// Builds the view of a control as a child of `parent` (which owns it), placed by the
// control's template rectangle.
ControlView& MakeControlView(platform::ui::Control& control, QWidget& parent,
                             const ViewContext& context);

// Shows or hides and enables or disables a widget as its model says.
void ApplyState(QWidget& widget, const platform::ui::Control& control);

// Queues a message for the program.
void Post(const platform::ui::Message& message);

inline QString ToQString(const std::wstring& text) {
    return QString::fromStdWString(text);
}

}  // namespace qtfront
