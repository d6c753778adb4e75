#include "combo_box_view.h"

#include <QSignalBlocker>

#include "device_metrics.h"

namespace qtfront {

using platform::ui::ControlChange;

ComboBoxView::ComboBoxView(platform::ui::ComboBox& combo, QWidget& parent,
                           const ViewContext& context)
    : QComboBox(&parent), m_combo(&combo) {
    platform::ui::Rect rect = combo.ScreenRect();
    // The template's height is that of the open list; closed, it is one line.
    rect.height = kComboClosedHeight;
    setGeometry(context.scale.ToWidget(rect));
    setFont(DeviceFont(context.scale, context.pointSize));
    setEditable(false);
    Render();
    const platform::ui::WindowHandle window = context.window;
    connect(this, &QComboBox::activated, this, [this, window](int index) {
        if (m_combo == nullptr) {
            return;
        }
        m_combo->SetCurSel(index);
        platform::ui::Message notify;
        notify.kind = platform::ui::MessageKind::Notify;
        notify.window = window;
        notify.control = notify.id = m_combo->Id();
        notify.code = platform::ui::kNotifySelChange;
        Post(notify);
    });
    combo.SetObserver([this](const ControlChange&) { Render(); });
}

void ComboBoxView::Render() {
    const QSignalBlocker blocker(this);
    const auto& entries = m_combo->Entries();
    bool same = count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < count(); ++i) {
        same = itemText(i) == ToQString(entries[static_cast<std::size_t>(i)]);
    }
    if (!same) {
        clear();
        for (const std::wstring& entry : entries) {
            addItem(ToQString(entry));
        }
    }
    setCurrentIndex(m_combo->GetCurSel());
    ApplyState(*this, *m_combo);
}

void ComboBoxView::Unbind(bool modelAlive) {
    if (m_combo != nullptr && modelAlive) {
        m_combo->SetObserver(nullptr);
    }
    m_combo = nullptr;
}

}  // namespace qtfront
