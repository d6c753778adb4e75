#include "edit_view.h"

#include "device_metrics.h"

namespace qtfront {

using platform::ui::ControlChange;

EditView::EditView(platform::ui::Edit& edit, QWidget& parent, const ViewContext& context)
    : QLineEdit(&parent), m_edit(&edit) {
    setGeometry(context.scale.ToWidget(edit.ScreenRect()));
    setFont(DeviceFont(context.scale, context.pointSize));
    setFrame((edit.Template().style & platform::ui::kStyleBorder) != 0);
    setTextMargins(context.scale.Px(1), 0, context.scale.Px(1), 0);
    if (edit.IsPassword()) {
        setEchoMode(QLineEdit::Password);
    }
    setReadOnly(edit.IsReadOnly());
    setText(ToQString(edit.GetWindowText()));
    ApplyState(*this, edit);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_edit != nullptr) {
            m_edit->SetWindowText(text.toStdWString());
        }
    });
    edit.SetObserver([this](const ControlChange& change) { OnModelChanged(change); });
}

void EditView::Unbind(bool modelAlive) {
    if (m_edit != nullptr && modelAlive) {
        m_edit->SetObserver(nullptr);
    }
    m_edit = nullptr;
}

void EditView::OnModelChanged(const ControlChange& change) {
    if (change.what == ControlChange::What::State) {
        ApplyState(*this, *m_edit);
        return;
    }
    const QString text = ToQString(m_edit->GetWindowText());
    // Typing already put this text here; setting it again would move the cursor.
    if (text != this->text()) {
        setText(text);
    }
}

}  // namespace qtfront
