#pragma once
// Paints the rows of a report list as the device does: a check box, the small icon and the
// name in the first column, the selected row highlighted, every row 16 device pixels high.

#include <QStyledItemDelegate>

#include "scale.h"

namespace qtfront {

class ListRowDelegate final : public QStyledItemDelegate {
  public:
    ListRowDelegate(Scale scale, QObject* parent) : QStyledItemDelegate(parent), m_scale(scale) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The check box of a row's first cell, within the cell's rectangle.
    QRect CheckBoxRect(const QRect& cell) const;
    // A cell's text as drawn in `width` pixels: a name that does not fit loses its middle,
    // so its end and extension stay readable (the full name is the row's tooltip).
    // The row whose hold menu is open is drawn marked (-1: none).
    void SetHeldRow(int row) { m_heldRow = row; }
    int HeldRow() const { return m_heldRow; }
    static QString FittedText(const QFontMetrics& metrics, const QString& text, int width);

  private:
    Scale m_scale;
    int m_heldRow = -1;
};

}  // namespace qtfront
