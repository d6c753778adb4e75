#pragma once
// The in-place row quicksort that every listing and the name header use.

#include "platform/ui/list_view.h"

// Sorts rows nLow to nHigh (-1: the last row) by the texts of one column, compared code unit
// by code unit. Whole rows are swapped, state and check box included; rows with equal texts
// are never swapped with each other, but the sort is not stable. False when the column does
// not exist or the range holds fewer than two rows or lies outside the list.
bool SortListRows(platform::ui::ListView& list, int nColumn, bool bAscending, int nLow = 0,
                  int nHigh = -1);
