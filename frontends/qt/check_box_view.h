#pragma once
// A check box: a click ticks or unticks the model.

#include <QCheckBox>

#include "control_view.h"
#include "platform/ui/check_box.h"

namespace qtfront {

class CheckBoxView final : public QCheckBox, public ControlView {
  public:
    CheckBoxView(platform::ui::CheckBox& box, QWidget& parent, const ViewContext& context);

    QWidget& Widget() override { return *this; }
    void Unbind(bool modelAlive) override;

  private:
    void Render();

    platform::ui::CheckBox* m_box;
};

}  // namespace qtfront
