#pragma once
// A drop-down list of entries with at most one selected.

#include <string>
#include <vector>

#include "platform/ui/control.h"

namespace platform::ui {

class ComboBox : public Control {
  public:
    // Inserts at `index` (-1 appends); returns the index, or -1 when out of range.
    int InsertString(int index, std::wstring text);
    // Removes one entry; returns the number left, or -1 when out of range.
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    // The entry's text; empty when out of range.
    std::wstring GetLBText(int index) const;
    // Selects an entry (-1 for none) without notifying the window; false when out of range.
    bool SetCurSel(int index);
    int GetCurSel() const { return m_selection; }
    const std::vector<std::wstring>& Entries() const { return m_entries; }

  private:
    std::vector<std::wstring> m_entries;
    int m_selection = -1;
};

}  // namespace platform::ui
