#pragma once
// The file list worked from the keyboard: the arrow keys (and Home, End, Page Up, Page Down)
// move the selection mark (with Shift they also tick the rows on the way from the last ticked
// one), Space ticks or unticks the marked row, Ctrl+A ticks every row, Enter is a double tap on
// it, and the context-menu key or Shift+F10 is a tap-and-hold on it.

class QKeyEvent;

namespace qtfront {

class ReportListView;

// Acts on `key` in `view`; false for the keys the list leaves to others (Tab among them).
bool HandleListKey(ReportListView& view, const QKeyEvent& key);

}  // namespace qtfront
