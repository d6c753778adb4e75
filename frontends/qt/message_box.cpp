#include "message_box.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <algorithm>

#include "control_view.h"
#include "device_metrics.h"
#include "platform/ui/geometry.h"

namespace qtfront {

using platform::ui::MessageBoxAnswer;
using platform::ui::MessageBoxButtons;

namespace {

// The arrow over the box, whatever cursor the program shows behind it.
class ArrowCursor {
  public:
    ArrowCursor() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowCursor() { QGuiApplication::restoreOverrideCursor(); }
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;
};

void SetUp(QMessageBox& box, const std::wstring& text, const std::wstring& title,
           MessageBoxButtons buttons, platform::ui::MessageBoxIcon icon) {
    const bool question = buttons == MessageBoxButtons::YesNo;
    box.setIcon(icon == platform::ui::MessageBoxIcon::Stop ? QMessageBox::Critical
                                                           : QMessageBox::NoIcon);
    box.setWindowTitle(ToQString(title));
    box.setText(ToQString(text));
    box.setStandardButtons(question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    box.setEscapeButton(question ? QMessageBox::No : QMessageBox::Ok);
    // Every question the program asks destroys, replaces or leaves (delete, the replace
    // questions, exit): Enter must not be the one key press too many. Y or a click says Yes.
    box.setDefaultButton(question ? QMessageBox::No : QMessageBox::Ok);
}

// The box's margins, spacing, icon and buttons grow with the device pixels, like its font.
class MessageBoxStyle final : public QProxyStyle {
  public:
    explicit MessageBoxStyle(Scale scale)
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), m_scale(scale) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
            case PM_LayoutLeftMargin:
            case PM_LayoutTopMargin:
            case PM_LayoutRightMargin:
            case PM_LayoutBottomMargin:
                return m_scale.Px(6);
            case PM_LayoutHorizontalSpacing:
            case PM_LayoutVerticalSpacing:
                return m_scale.Px(4);
            case PM_MessageBoxIconSize:
                return m_scale.Px(kIconSize);
            case PM_ButtonMargin:
            case PM_DefaultFrameWidth:
                return m_scale.Px(QProxyStyle::pixelMetric(metric, option, widget));
            default:
                return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        if (type == CT_PushButton) {
            // The device's buttons: as wide as their text needs, at least a thumb's width.
            return {std::max(size.width() + m_scale.Px(12), m_scale.Px(44)),
                    size.height() + m_scale.Px(6)};
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

  private:
    static constexpr int kIconSize = 20;
    Scale m_scale;
};

// The box as the device draws it: its font and sizes at the screen's scale, no wider than
// the screen, with no minimise or maximise button.
void FitToDevice(QMessageBox& box, Scale scale, MessageBoxStyle& style) {
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
    box.setStyle(&style);
    box.setFont(DeviceFont(scale, 8));
    for (QWidget* child : box.findChildren<QWidget*>()) {
        child->setStyle(&style);
        child->setFont(box.font());
    }
    if (box.icon() != QMessageBox::NoIcon) {
        const int size = style.pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        box.setIconPixmap(style.standardIcon(QStyle::SP_MessageBoxCritical).pixmap(size, size));
    }
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        // Long texts wrap inside the screen rather than widen the box past it.
        label->setWordWrap(true);
        label->setMaximumWidth(scale.Px(platform::ui::kScreenWidth - 60));
    }
}

// Qt sizes a message box only as it is shown; it is centred on the screen after that.
class DeviceMessageBox final : public QMessageBox {
  public:
    explicit DeviceMessageBox(QWidget& screen) : QMessageBox(&screen), m_screen(screen) {}

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        const QRect area(m_screen.mapToGlobal(QPoint(0, 0)), m_screen.size());
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(area.center());
        move(frame.topLeft());
    }

  private:
    QWidget& m_screen;
};

}  // namespace

MessageBoxAnswer RunMessageBox(QWidget& parent, Scale scale, const std::wstring& text,
                               const std::wstring& title, MessageBoxButtons buttons,
                               platform::ui::MessageBoxIcon icon) {
    const bool question = buttons == MessageBoxButtons::YesNo;
    MessageBoxStyle style(scale);  // outlives the box
    DeviceMessageBox box(parent);
    SetUp(box, text, title, buttons, icon);
    FitToDevice(box, scale, style);
    const ArrowCursor arrow;
    const int answer = box.exec();
    if (!question) {
        return MessageBoxAnswer::Ok;
    }
    return answer == QMessageBox::Yes ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
}

QImage ScreenWithMessageBox(const QImage& screen, const std::wstring& text,
                            const std::wstring& title, MessageBoxButtons buttons,
                            platform::ui::MessageBoxIcon icon) {
    QMessageBox box;
    SetUp(box, text, title, buttons, icon);
    box.adjustSize();
    const QImage content = box.grab().toImage();
    // The box's own picture has no title bar: draw a plain one with the title.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int titleHeight = QFontMetrics(titleFont).height() + 8;
    const QSize frame(content.width() + 2, content.height() + titleHeight + 1);
    const QPoint topLeft((screen.width() - frame.width()) / 2,
                         std::max(0, (screen.height() - frame.height()) / 2));

    QImage picture = screen.convertToFormat(QImage::Format_ARGB32);
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QColor(0, 0, 0, 60));
    painter.fillRect(QRect(topLeft, frame), QColor(0x0f, 0x3c, 0x73));
    painter.setPen(Qt::white);
    painter.setFont(titleFont);
    painter.drawText(QRect(topLeft.x() + 6, topLeft.y(), frame.width() - 12, titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, ToQString(title));
    painter.drawImage(topLeft + QPoint(1, titleHeight), content);
    return picture;
}

}  // namespace qtfront
