#include "platform/ui/combo_box.h"

namespace platform::ui {

int ComboBox::InsertString(int index, std::wstring text) {
    if (index == -1) {
        index = GetCount();
    }
    if (index < 0 || index > GetCount()) {
        return -1;
    }
    m_entries.insert(m_entries.begin() + index, std::move(text));
    if (m_selection >= index) {
        ++m_selection;
    }
    Changed({ControlChange::What::Entries});
    return index;
}

int ComboBox::DeleteString(int index) {
    if (index < 0 || index >= GetCount()) {
        return -1;
    }
    m_entries.erase(m_entries.begin() + index);
    if (m_selection == index) {
        m_selection = -1;
    } else if (m_selection > index) {
        --m_selection;
    }
    Changed({ControlChange::What::Entries});
    return GetCount();
}

void ComboBox::ResetContent() {
    m_entries.clear();
    m_selection = -1;
    Changed({ControlChange::What::Entries});
}

std::wstring ComboBox::GetLBText(int index) const {
    if (index < 0 || index >= GetCount()) {
        return {};
    }
    return m_entries[static_cast<std::size_t>(index)];
}

bool ComboBox::SetCurSel(int index) {
    if (index < -1 || index >= GetCount()) {
        m_selection = -1;
        Changed({ControlChange::What::Entries});
        return false;
    }
    m_selection = index;
    Changed({ControlChange::What::Entries});
    return true;
}

}  // namespace platform::ui
