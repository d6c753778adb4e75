#include "list_header.h"

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
    m_ownChange = true;
    resizeSection(column, width);
    m_ownChange = false;
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
        SetWidth(column, oldSize);
    }
}

}  // namespace qtfront
