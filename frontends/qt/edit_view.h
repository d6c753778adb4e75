#pragma once
// A single-line edit: the text is the model's, typed text goes straight into the model.

#include <QLineEdit>

#include "control_view.h"
#include "platform/ui/edit.h"

namespace qtfront {

class EditView final : public QLineEdit, public ControlView {
  public:
    EditView(platform::ui::Edit& edit, QWidget& parent, const ViewContext& context);

    QWidget& Widget() override { return *this; }
    void Unbind(bool modelAlive) override;

  private:
    void OnModelChanged(const platform::ui::ControlChange& change);

    platform::ui::Edit* m_edit;
};

}  // namespace qtfront
