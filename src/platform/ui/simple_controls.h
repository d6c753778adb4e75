#pragma once
// Edits, buttons, check boxes, pictures, combo boxes and progress bars.

#include <string>
#include <vector>

#include "platform/ui/control.h"

namespace platform::ui {

class Edit : public Control {
  public:
    bool IsPassword() const { return (Template().style & kStylePassword) != 0; }
    bool IsReadOnly() const { return (Template().style & kStyleReadOnly) != 0; }
};

class Button : public Control {};

class Picture : public Control {};

class CheckBox : public Control {
  public:
    bool GetCheck() const { return m_checked; }
    void SetCheck(bool checked);

  private:
    bool m_checked = false;
};

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

class ProgressBar : public Control {
  public:
    void SetRange(int lower, int upper);
    void SetPos(int position);
    int GetPos() const { return m_position; }
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }

  private:
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
};

}  // namespace platform::ui
