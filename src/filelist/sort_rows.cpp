#include "filelist/sort_rows.h"

#include <string>
#include <utility>

namespace {

const std::wstring& CellText(const platform::ui::ListView& list, int nRow, int nColumn) {
    return list.Row(nRow).texts[static_cast<std::size_t>(nColumn)];
}

// One partition step around the middle row's text: afterwards no row from nLow to j sorts
// after it and no row from i to nHigh before it. Rows with equal texts are never swapped.
std::pair<int, int> PartitionRows(platform::ui::ListView& list, int nColumn, bool bAscending,
                                  int nLow, int nHigh) {
    const std::wstring pivot = CellText(list, (nLow + nHigh) / 2, nColumn);
    const auto before = [&](int nRow) {
        const std::wstring& text = CellText(list, nRow, nColumn);
        return bAscending ? text < pivot : text > pivot;
    };
    const auto after = [&](int nRow) {
        const std::wstring& text = CellText(list, nRow, nColumn);
        return bAscending ? text > pivot : text < pivot;
    };
    int i = nLow;
    int j = nHigh;
    while (i <= j) {
        while (i < nHigh && before(i)) {
            ++i;
        }
        while (j > nLow && after(j)) {
            --j;
        }
        if (i <= j) {
            if (CellText(list, i, nColumn) != CellText(list, j, nColumn)) {
                list.SwapRows(i, j);
            }
            ++i;
            --j;
        }
    }
    return {i, j};
}

}  // namespace

bool SortListRows(platform::ui::ListView& list, int nColumn, bool bAscending, int nLow, int nHigh) {
    if (nColumn < 0 || nColumn >= list.GetColumnCount()) {
        return false;
    }
    if (nHigh == -1) {
        nHigh = list.GetItemCount() - 1;
    }
    if (nHigh <= nLow || nLow < 0 || nHigh >= list.GetItemCount()) {
        return false;
    }
    // The two halves of a partition are independent, so sorting the smaller one by recursion
    // and the larger one in this loop leaves exactly the order that recursing into both
    // would, with the stack depth bounded by log n whatever the names are.
    while (nHigh > nLow) {
        const auto [i, j] = PartitionRows(list, nColumn, bAscending, nLow, nHigh);
        if (j - nLow < nHigh - i) {
            if (nLow < j) {
                SortListRows(list, nColumn, bAscending, nLow, j);
            }
            nLow = i;
        } else {
            if (i < nHigh) {
                SortListRows(list, nColumn, bAscending, i, nHigh);
            }
            nHigh = j;
        }
    }
    return true;
}
