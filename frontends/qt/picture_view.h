#pragma once
// A static picture: one of the program's bitmaps, beneath the other controls.

#include <QWidget>
#include <vector>

#include "control_view.h"

namespace qtfront {

class PictureView final : public QWidget, public ControlView {
  public:
    PictureView(platform::ui::Control& picture, QWidget& parent, const ViewContext& context);

    QWidget& Widget() override { return *this; }
    void Unbind(bool modelAlive) override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    platform::ui::Control* m_picture;
    int m_bitmap;
    Scale m_scale;
    QRectF m_area;  // device-screen pixels
    std::vector<Caption> m_captions;
};

}  // namespace qtfront
