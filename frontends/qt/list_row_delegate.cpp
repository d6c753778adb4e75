#include "list_row_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>

#include "device_metrics.h"
#include "platform/ui/geometry.h"
#include "report_list_model.h"

namespace qtfront {

namespace {
constexpr int kCheckBoxSize = 11;
constexpr int kTextPadding = 2;
}  // namespace

QRect ListRowDelegate::CheckBoxRect(const QRect& cell) const {
    const int size = m_scale.Px(kCheckBoxSize);
    return {cell.left() + m_scale.Px(3), cell.top() + (cell.height() - size) / 2, size, size};
}

QString ListRowDelegate::FittedText(const QFontMetrics& metrics, const QString& text, int width) {
    return metrics.elidedText(text, Qt::ElideMiddle, width);
}

QSize ListRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {m_scale.Px(40), m_scale.Px(platform::ui::kListRowHeight)};
}

void ListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const bool selected =
        index.data(ReportListModel::kSelectedRole).toBool() || index.row() == m_heldRow;
    QRect cell = option.rect;

    painter->save();
    if (selected) {
        painter->fillRect(cell, option.palette.brush(QPalette::Active, QPalette::Highlight));
    }
    if (index.column() == 0) {
        if (index.data(ReportListModel::kHasCheckBoxRole).toBool()) {
            QStyleOptionButton box;
            box.rect = CheckBoxRect(cell);
            box.state = QStyle::State_Enabled |
                        (index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On
                                                                               : QStyle::State_Off);
            box.palette = option.palette;
            style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
            cell.setLeft(cell.left() + m_scale.Px(kListCheckWidth));
        }
        const QVariant icon = index.data(Qt::DecorationRole);
        if (icon.canConvert<QPixmap>()) {
            const QPixmap pixmap = icon.value<QPixmap>();
            const int top = cell.top() + (cell.height() - pixmap.height()) / 2;
            painter->drawPixmap(cell.left(), top, pixmap);
            cell.setLeft(cell.left() + m_scale.Px(kListIconSize + 1));
        }
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty() && cell.width() > 2 * m_scale.Px(kTextPadding)) {
        const QRect textArea =
            cell.adjusted(m_scale.Px(kTextPadding), 0, -m_scale.Px(kTextPadding), 0);
        painter->setFont(option.font);
        painter->setPen(option.palette.color(
            QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text));
        const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        painter->drawText(textArea, static_cast<int>(alignment),
                          FittedText(option.fontMetrics, text, textArea.width()));
    }
    painter->restore();
}

}  // namespace qtfront
