#pragma once
// A progress bar showing the model's range and position.

#include <QProgressBar>

#include "control_view.h"
#include "platform/ui/progress_bar.h"

namespace qtfront {

class ProgressView final : public QProgressBar, public ControlView {
  public:
    ProgressView(platform::ui::ProgressBar& bar, QWidget& parent, const ViewContext& context);

    QWidget& Widget() override { return *this; }
    void Unbind(bool modelAlive) override;

  private:
    void Render();

    platform::ui::ProgressBar* m_bar;
};

}  // namespace qtfront
