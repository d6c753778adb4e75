#include "list_header.h"

#include <algorithm>

#include "platform/ui/geometry.h"

namespace qtfront {

ListHeader::ListHeader(Scale scale, QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setFixedHeight(scale.Px(platform::ui::kListHeaderHeight));
    setSectionsClickable(true);
    setSectionsMovable(false);
    setStretchLastSection(false);
    setMinimumSectionSize(0);
    setSectionResizeMode(QHeaderView::Interactive);
    setHighlightSections(false);
    connect(this, &QHeaderView::sectionResized, this, &ListHeader::OnSectionResized);
}

void ListHeader::SetWidth(int column, int width) {
    m_widths[column] = width;
    m_ownChange = true;
    resizeSection(column, width);
    m_ownChange = false;
    FillWidth();
}

int ListHeader::FillColumn() const {
    for (auto width = m_widths.rbegin(); width != m_widths.rend(); ++width) {
        if (width->second > 0 && width->first < count()) {
            return width->first;
        }
    }
    return -1;
}

void ListHeader::FillWidth() {
    const int fill = FillColumn();
    if (fill < 0) {
        return;
    }
    int others = 0;
    for (int column = 0; column < count(); ++column) {
        others += column == fill ? 0 : sectionSize(column);
    }
    // Never narrower than the control made it: a wide column scrolls as before.
    const int wanted = std::max(m_widths[fill], width() - others);
    if (wanted != sectionSize(fill)) {
        m_ownChange = true;
        resizeSection(fill, wanted);
        m_ownChange = false;
    }
}

void ListHeader::resizeEvent(QResizeEvent* event) {
    QHeaderView::resizeEvent(event);
    FillWidth();
}

void ListHeader::mousePressEvent(QMouseEvent* event) {
    // A new drag asks again.
    m_verdicts.clear();
    QHeaderView::mousePressEvent(event);
}

void ListHeader::OnSectionResized(int column, int oldSize, int newSize) {
    if (m_ownChange || oldSize == newSize || !allowResize) {
        return;
    }
    auto verdict = m_verdicts.find(column);
    if (verdict == m_verdicts.end()) {
        verdict = m_verdicts.emplace(column, allowResize(column)).first;
    }
    if (!verdict->second) {
        m_ownChange = true;
        resizeSection(column, oldSize);
        m_ownChange = false;
    } else if (column != FillColumn()) {
        FillWidth();
    }
}

}  // namespace qtfront
