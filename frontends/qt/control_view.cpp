#include "control_view.h"

#include <QWidget>

#include "button_view.h"
#include "check_box_view.h"
#include "combo_box_view.h"
#include "edit_view.h"
#include "picture_view.h"
#include "platform/ui/list_view.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/toolkit.h"
#include "progress_view.h"
#include "report_list_view.h"

namespace qtfront {

using platform::ui::ControlKind;

ControlView& MakeControlView(platform::ui::Control& control, QWidget& parent,
                             const ViewContext& context) {
    switch (control.Kind()) {
        case ControlKind::Edit:
            return *new EditView(static_cast<platform::ui::Edit&>(control), parent, context);
        case ControlKind::Button:
            return *new ButtonView(control, parent, context);
        case ControlKind::CheckBox:
            return *new CheckBoxView(static_cast<platform::ui::CheckBox&>(control), parent,
                                     context);
        case ControlKind::ComboBox:
            return *new ComboBoxView(static_cast<platform::ui::ComboBox&>(control), parent,
                                     context);
        case ControlKind::ListView:
            return *new ReportListView(static_cast<platform::ui::ListView&>(control), parent,
                                       context);
        case ControlKind::ProgressBar:
            return *new ProgressView(static_cast<platform::ui::ProgressBar&>(control), parent,
                                     context);
        case ControlKind::Picture:
            break;
    }
    return *new PictureView(control, parent, context);
}

void ApplyState(QWidget& widget, const platform::ui::Control& control) {
    widget.setVisible(control.IsVisible());
    widget.setEnabled(control.IsEnabled());
}

void Post(const platform::ui::Message& message) {
    platform::ui::PostMessage(message);
}

}  // namespace qtfront
