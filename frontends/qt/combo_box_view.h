#pragma once
// A drop-down list: entries and selection are the model's; a person's choice selects the
// entry in the model and notifies the window.

#include <QComboBox>

#include "control_view.h"
#include "platform/ui/combo_box.h"

namespace qtfront {

class ComboBoxView final : public QComboBox, public ControlView {
  public:
    ComboBoxView(platform::ui::ComboBox& combo, QWidget& parent, const ViewContext& context);

    QWidget& Widget() override { return *this; }
    void Unbind(bool modelAlive) override;

  private:
    void Render();

    platform::ui::ComboBox* m_combo;
};

}  // namespace qtfront
