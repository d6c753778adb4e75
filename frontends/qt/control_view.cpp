#include "control_view.h"

#include <QWidget>

#include "button_view.h"
#include "check_box_view.h"
#include "combo_box_view.h"
#include "edit_view.h"
#include "picture_view.h"
#include "platform/ui/button.h"
#include "platform/ui/check_box.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit.h"
#include "platform/ui/list_view.h"
#include "platform/ui/progress_bar.h"
#include "platform/ui/toolkit.h"
#include "progress_view.h"
#include "report_list_view.h"

namespace qtfront {

using platform::ui::ControlAs;

ControlView& MakeControlView(platform::ui::Control& control, QWidget& parent,
                             const ViewContext& context) {
    if (auto* edit = ControlAs<platform::ui::Edit>(&control)) {
        return *new EditView(*edit, parent, context);
    }
    if (ControlAs<platform::ui::Button>(&control) != nullptr) {
        return *new ButtonView(control, parent, context);
    }
    if (auto* box = ControlAs<platform::ui::CheckBox>(&control)) {
        return *new CheckBoxView(*box, parent, context);
    }
    if (auto* combo = ControlAs<platform::ui::ComboBox>(&control)) {
        return *new ComboBoxView(*combo, parent, context);
    }
    if (auto* list = ControlAs<platform::ui::ListView>(&control)) {
        return *new ReportListView(*list, parent, context);
    }
    if (auto* bar = ControlAs<platform::ui::ProgressBar>(&control)) {
        return *new ProgressView(*bar, parent, context);
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
