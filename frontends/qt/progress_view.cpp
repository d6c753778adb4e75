#include "progress_view.h"

#include <algorithm>

namespace qtfront {

ProgressView::ProgressView(platform::ui::ProgressBar& bar, QWidget& parent,
                           const ViewContext& context)
    : QProgressBar(&parent), m_bar(&bar) {
    setGeometry(context.scale.ToWidget(bar.ScreenRect()));
    setTextVisible(false);
    // An idle bar still shows as a bar: a dark frame around an empty grey track.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(0xD8, 0xD8, 0xD8));
    colours.setColor(QPalette::Window, QColor(0xD8, 0xD8, 0xD8));
    colours.setColor(QPalette::Dark, QColor(0x40, 0x40, 0x40));
    setPalette(colours);
    Render();
    bar.SetObserver([this](const platform::ui::ControlChange&) { Render(); });
}

void ProgressView::Render() {
    const int lower = std::min(m_bar->Lower(), m_bar->Upper());
    // An empty range would make Qt's bar a busy indicator; the device shows it empty.
    const int upper = std::max({m_bar->Lower(), m_bar->Upper(), lower + 1});
    setRange(lower, upper);
    // The device draws a position outside the range at the nearer end.
    setValue(std::clamp(m_bar->GetPos(), lower, upper));
    ApplyState(*this, *m_bar);
}

void ProgressView::Unbind(bool modelAlive) {
    if (m_bar != nullptr && modelAlive) {
        m_bar->SetObserver(nullptr);
    }
    m_bar = nullptr;
}

}  // namespace qtfront
