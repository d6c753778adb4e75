#pragma once
// A push button: a click issues the button's command.

#include <QPushButton>

#include "control_view.h"

namespace qtfront {

class ButtonView final : public QPushButton, public ControlView {
  public:
    ButtonView(platform::ui::Control& button, QWidget& parent, const ViewContext& context);

    QWidget& Widget() override { return *this; }
    void Unbind(bool modelAlive) override;
    void SetInputBlocked(bool blocked) override;

  private:
    void ApplyModelState();

    platform::ui::Control* m_button;
    bool m_inputBlocked = false;
};

}  // namespace qtfront
