#pragma once
// A report-style list view with check boxes, images and per-row state.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/control.h"
#include "platform/ui/image_list.h"

namespace platform::ui {

enum class ColumnAlign { Left, Right, Centre };

struct ListColumn {
    std::wstring heading;
    ColumnAlign align = ColumnAlign::Left;
    int width = 0;  // device pixels
};

// Row state bits.
inline constexpr unsigned kStateFocused = 0x1;
inline constexpr unsigned kStateSelected = 0x2;

struct ListRow {
    std::vector<std::wstring> texts;  // one per column
    int image = 0;
    std::intptr_t data = 0;
    unsigned state = 0;
    bool checked = false;
};

class ListView : public Control {
  public:
    // Columns.
    int InsertColumn(int index, std::wstring heading, ColumnAlign align, int width);
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    const std::vector<ListColumn>& Columns() const { return m_columns; }

    // Image lists and check boxes.
    void SetImageLists(const ImageList* large, const ImageList* small);
    const ImageList* SmallImages() const { return m_small; }
    const ImageList* LargeImages() const { return m_large; }
    void SetCheckBoxes(bool on);
    bool HasCheckBoxes() const { return m_checkBoxes; }
    void SetBackgroundColour(std::uint32_t rgb);
    std::uint32_t BackgroundColour() const { return m_background; }

    // Rows. With the sorted-ascending style the index asked for is ignored and the row is
    // placed by its name. Returns the row's index, or -1 when it cannot be inserted.
    int InsertItem(int index, std::wstring text, int image);
    bool SetItemText(int row, int column, std::wstring text);
    std::wstring GetItemText(int row, int column) const;
    bool DeleteItem(int row);
    void DeleteAllItems();
    int GetItemCount() const { return static_cast<int>(m_rows.size()); }
    const ListRow& Row(int row) const { return m_rows.at(static_cast<std::size_t>(row)); }
    const std::vector<ListRow>& Rows() const { return m_rows; }

    bool GetCheck(int row) const;
    bool SetCheck(int row, bool checked);
    unsigned GetItemState(int row) const;
    bool SetItemState(int row, unsigned state);
    int GetItemImage(int row) const;
    std::intptr_t GetItemData(int row) const;
    bool SetItemData(int row, std::intptr_t data);

    int GetSelectionMark() const { return m_selectionMark; }
    int SetSelectionMark(int row);
    // A tap on a row: it becomes the only selected row, focused, and the selection mark.
    void SelectRow(int row);

    // Exchanges two whole rows: texts, image, data and state including the check box.
    void SwapRows(int first, int second);

    // The row under a point in device-screen pixels, or -1.
    int HitTest(Point screen) const;
    int TopIndex() const { return m_topIndex; }
    void SetTopIndex(int row);
    // Device-screen rectangle of a row (for taps at a row).
    Rect RowRect(int row) const;

    // While redraw is off, changes are not announced one by one; turning it on again
    // announces one reset.
    void SetRedraw(bool on);

    // The front end asks before a column is resized; a handler may refuse.
    virtual bool AllowColumnResize(int column);

    // A tap selects the row under it. A double tap on a row selects it and tells the window;
    // a hold tells the window wherever it is, even over empty space.
    bool TapAt(Point point) override;
    bool DoubleTapAt(Point point) override;
    bool HoldAt(Point point) override;

  private:
    // Posts a notification of this list, about `row` at `point`, to its window.
    bool PostNotify(int code, int row, Point point) const;
    void Announce(ControlChange change);
    bool Valid(int row) const { return row >= 0 && row < GetItemCount(); }

    std::vector<ListColumn> m_columns;
    std::vector<ListRow> m_rows;
    const ImageList* m_large = nullptr;
    const ImageList* m_small = nullptr;
    bool m_checkBoxes = false;
    std::uint32_t m_background = 0xFFFFFF;
    int m_selectionMark = -1;
    int m_topIndex = 0;
    bool m_redraw = true;
    bool m_changedWhileFrozen = false;
};

}  // namespace platform::ui
