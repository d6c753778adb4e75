#include "picture_view.h"

#include <QPainter>

#include "platform/ui/window.h"

namespace qtfront {

PictureView::PictureView(platform::ui::Control& picture, QWidget& parent,
                         const ViewContext& context)
    : QWidget(&parent),
      m_picture(&picture),
      m_bitmap(picture.Template().bitmap),
      m_scale(context.scale) {
    platform::ui::Rect rect = picture.ScreenRect();
    if (const platform::ui::Window* window = picture.Owner()) {
        // The window's background covers the dialog's whole area wherever it is placed.
        if (m_bitmap != 0 && m_bitmap == window->Template().backgroundBitmap) {
            rect = window->GetWindowRect();
        }
        m_captions = CaptionsFor(m_bitmap, *window);
    }
    m_area = QRectF(rect.x, rect.y, rect.width, rect.height);
    setGeometry(context.scale.ToWidget(rect));
    // A tap on the picture is a tap on the window.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    ApplyState(*this, picture);
    picture.SetObserver(
        [this](const platform::ui::ControlChange&) { ApplyState(*this, *m_picture); });
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.scale(m_scale.factor, m_scale.factor);
    // Captions are placed in screen coordinates; draw in them.
    painter.translate(-m_area.topLeft());
    Artwork::DrawBitmap(painter, m_bitmap, m_area, m_captions);
}

void PictureView::Unbind(bool modelAlive) {
    if (m_picture != nullptr && modelAlive) {
        m_picture->SetObserver(nullptr);
    }
    m_picture = nullptr;
}

}  // namespace qtfront
