#include "message_box.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <algorithm>

#include "control_view.h"

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
    box.setDefaultButton(question ? QMessageBox::Yes : QMessageBox::Ok);
}

}  // namespace

MessageBoxAnswer RunMessageBox(QWidget* parent, const std::wstring& text, const std::wstring& title,
                               MessageBoxButtons buttons, platform::ui::MessageBoxIcon icon) {
    const bool question = buttons == MessageBoxButtons::YesNo;
    QMessageBox box(parent);
    SetUp(box, text, title, buttons, icon);
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
