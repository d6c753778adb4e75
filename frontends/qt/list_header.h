#pragma once
// The header of a report list: clicks become column clicks, and a person's resize of a
// column is asked of the list control first (the file list keeps its type column closed).
// The last column the control shows (the last one wider than nothing) grows to the list's
// right edge, so that the header and the marked row's bar reach it.

#include <QHeaderView>
#include <functional>
#include <map>

#include "scale.h"

namespace qtfront {

class ListHeader final : public QHeaderView {
  public:
    ListHeader(Scale scale, QWidget* parent);

    // Asked once per drag and column; false keeps the column as it was.
    std::function<bool(int column)> allowResize;

    // Sets a width without asking (the control's own widths).
    void SetWidth(int column, int width);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void OnSectionResized(int column, int oldSize, int newSize);
    int FillColumn() const;
    void FillWidth();

    bool m_ownChange = false;
    std::map<int, bool> m_verdicts;  // of the drag in progress
    std::map<int, int> m_widths;     // the control's own widths, by column
};

}  // namespace qtfront
