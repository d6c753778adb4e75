#include "check_box_view.h"

#include <QSignalBlocker>

#include "device_metrics.h"

namespace qtfront {

CheckBoxView::CheckBoxView(platform::ui::CheckBox& box, QWidget& parent, const ViewContext& context)
    : QCheckBox(&parent), m_box(&box) {
    setGeometry(context.scale.ToWidget(box.ScreenRect()));
    setFont(DeviceFont(context.scale, context.pointSize));
    if ((box.Template().style & platform::ui::kStyleLeftText) != 0) {
        setLayoutDirection(Qt::RightToLeft);
    }
    Render();
    connect(this, &QCheckBox::clicked, this, [this](bool checked) {
        if (m_box != nullptr) {
            m_box->SetCheck(checked);
        }
    });
    box.SetObserver([this](const platform::ui::ControlChange&) { Render(); });
}

void CheckBoxView::Render() {
    const QSignalBlocker blocker(this);
    setText(ToQString(m_box->GetWindowText()));
    setChecked(m_box->GetCheck());
    ApplyState(*this, *m_box);
}

void CheckBoxView::Unbind(bool modelAlive) {
    if (m_box != nullptr && modelAlive) {
        m_box->SetObserver(nullptr);
    }
    m_box = nullptr;
}

}  // namespace qtfront
