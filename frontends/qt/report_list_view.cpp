#include "report_list_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "device_metrics.h"
#include "list_header.h"
#include "list_keys.h"
#include "list_row_delegate.h"
#include "report_list_model.h"

namespace qtfront {

using platform::ui::ControlChange;

namespace {

QColor FromRgb(std::uint32_t rgb) {
    return {static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
            static_cast<int>(rgb & 0xFF)};
}

}  // namespace

ReportListView::ReportListView(platform::ui::ListView& list, QWidget& parent,
                               const ViewContext& context)
    : QTreeView(&parent),
      m_list(&list),
      m_scale(context.scale),
      m_window(context.window),
      m_model(new ReportListModel(list, context.artwork, this)),
      m_delegate(new ListRowDelegate(context.scale, this)),
      m_header(new ListHeader(context.scale, this)) {
    setGeometry(context.scale.ToWidget(list.ScreenRect()));
    setFont(DeviceFont(context.scale, context.pointSize));
    // Rows and header lie exactly where the control's hit test expects them.
    setFrameShape(QFrame::NoFrame);
    setHeader(m_header);
    setModel(m_model);
    setItemDelegate(m_delegate);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The program sorts its rows itself; header clicks only notify it (turning sorting off
    // would also make the sections unclickable).
    setSortingEnabled(false);
    m_header->setSectionsClickable(true);
    m_header->setFont(font());
    m_header->setVisible((list.Template().style & platform::ui::kStyleReport) != 0 ||
                         list.GetColumnCount() > 0);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, FromRgb(list.BackgroundColour()));
    setPalette(colours);

    m_holdTimer.setSingleShot(true);
    m_holdTimer.setInterval(kHoldMilliseconds);
    connect(&m_holdTimer, &QTimer::timeout, this, [this] {
        if (m_list != nullptr) {
            m_list->HoldAt(DevicePoint(m_pressPos));
        }
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int top) {
        if (m_list != nullptr) {
            m_list->SetTopIndex(top);
        }
    });
    connect(m_header, &QHeaderView::sectionClicked, this,
            [this](int column) { Notify(platform::ui::kNotifyColumnClick, -1, {}, column); });
    m_header->allowResize = [this](int column) {
        return m_list == nullptr || m_list->AllowColumnResize(column);
    };
    m_model->onReset = [this](bool columnsChanged) { AfterReset(columnsChanged); };

    ApplyColumnWidths();
    ApplyState(*this, list);
    list.SetObserver([this](const ControlChange& change) { OnModelChanged(change); });
}

void ReportListView::Unbind(bool modelAlive) {
    m_holdTimer.stop();
    if (m_list != nullptr && modelAlive) {
        m_list->SetObserver(nullptr);
    }
    m_list = nullptr;
    m_model->Detach();
}

void ReportListView::Sync() {
    m_model->Sync();
}

void ReportListView::OnModelChanged(const ControlChange& change) {
    if (change.what == ControlChange::What::State) {
        ApplyState(*this, *m_list);
        return;
    }
    switch (change.what) {
        case ControlChange::What::Reset:
        case ControlChange::What::Columns:
        case ControlChange::What::RowsInserted:
        case ControlChange::What::RowsRemoved:
            m_tickAnchor = -1;  // the rows moved under it
            break;
        default:
            break;
    }
    if (change.what == ControlChange::What::Reset) {
        QPalette colours = palette();
        colours.setColor(QPalette::Base, FromRgb(m_list->BackgroundColour()));
        setPalette(colours);
    }
    m_model->OnChange(change);
}

void ReportListView::AfterReset(bool columnsChanged) {
    if (columnsChanged) {
        ApplyColumnWidths();
    }
    if (m_list != nullptr) {
        verticalScrollBar()->setValue(m_list->TopIndex());
    }
}

void ReportListView::ApplyColumnWidths() {
    if (m_list == nullptr) {
        return;
    }
    for (int column = 0; column < m_list->GetColumnCount(); ++column) {
        m_header->SetWidth(column,
                           m_scale.Px(m_list->Columns()[static_cast<std::size_t>(column)].width));
    }
}

QPoint ReportListView::RowPoint(int row) const {
    const QRect cell = visualRect(m_model->index(row, 0));
    return {cell.left() + m_scale.Px(60), cell.center().y()};
}

QPoint ReportListView::CheckBoxPoint(int row) const {
    const QRect box = m_delegate->CheckBoxRect(visualRect(m_model->index(row, 0)));
    return box.center();
}

bool ReportListView::InCheckBox(QPoint viewportPos) const {
    if (m_list == nullptr || !m_list->HasCheckBoxes()) {
        return false;
    }
    const int left = m_header->sectionViewportPosition(0);
    return viewportPos.x() >= left && viewportPos.x() < left + m_scale.Px(kListCheckWidth);
}

platform::ui::Point ReportListView::DevicePoint(QPoint viewportPos) const {
    // The window's view covers the whole device screen from its top-left corner.
    return m_scale.ToDevice(viewport()->mapTo(parentWidget(), viewportPos));
}

void ReportListView::Notify(int code, int row, QPoint viewportPos, int column) const {
    if (m_list == nullptr) {
        return;
    }
    platform::ui::Message notify;
    notify.kind = platform::ui::MessageKind::Notify;
    notify.window = m_window;
    notify.control = notify.id = m_list->Id();
    notify.code = code;
    notify.item = row;
    notify.column = column;
    if (code != platform::ui::kNotifyColumnClick) {
        notify.point = DevicePoint(viewportPos);
    }
    Post(notify);
}

void ReportListView::mousePressEvent(QMouseEvent* event) {
    if (m_list == nullptr) {
        return;
    }
    m_holdTimer.stop();
    Sync();
    const QPoint pos = event->position().toPoint();
    const QModelIndex hit = indexAt(pos);
    const int row = hit.isValid() ? hit.row() : -1;
    if (event->button() == Qt::RightButton) {
        // A right click is the tap-and-hold of a mouse.
        m_list->HoldAt(DevicePoint(pos));
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const bool range = (event->modifiers() & Qt::ShiftModifier) != 0 && row >= 0;
    if (range) {
        TickRangeTo(row);
    }
    if (row >= 0 && InCheckBox(pos)) {
        if (!range) {
            Tick(row, !m_list->GetCheck(row));
        }
    } else {
        m_list->TapAt(DevicePoint(pos));
    }
    m_pressPos = pos;
    m_holdTimer.start();
}

void ReportListView::mouseMoveEvent(QMouseEvent* event) {
    if (m_holdTimer.isActive() && (event->position().toPoint() - m_pressPos).manhattanLength() >
                                      m_scale.Px(kHoldSlopPixels)) {
        m_holdTimer.stop();
    }
}

void ReportListView::mouseReleaseEvent(QMouseEvent*) {
    m_holdTimer.stop();
}

void ReportListView::mouseDoubleClickEvent(QMouseEvent* event) {
    m_holdTimer.stop();
    if (m_list == nullptr || event->button() != Qt::LeftButton) {
        return;
    }
    Sync();
    const QPoint pos = event->position().toPoint();
    const QModelIndex hit = indexAt(pos);
    if (!hit.isValid()) {
        return;
    }
    if (InCheckBox(pos)) {
        // Two quick taps on a check box tick it twice.
        Tick(hit.row(), !m_list->GetCheck(hit.row()));
        return;
    }
    m_list->DoubleTapAt(DevicePoint(pos));
}

void ReportListView::contextMenuEvent(QContextMenuEvent* event) {
    // The right press already made the tap-and-hold.
    event->accept();
}

}  // namespace qtfront

namespace qtfront {

void ReportListView::DoubleTap(int row) {
    Sync();
    Notify(platform::ui::kNotifyDoubleTap, row, RowPoint(row));
}

void ReportListView::Hold(int row) {
    Sync();
    const QRect space = viewport()->rect();
    Notify(platform::ui::kNotifyTapAndHold, row,
           row >= 0 ? RowPoint(row) : QPoint(space.left() + m_scale.Px(60), space.bottom()));
}

void ReportListView::ShowRow(int row) {
    scrollTo(m_model->index(row, 0));
}

int ReportListView::RowsPerPage() const {
    return std::max(1, viewport()->height() / m_scale.Px(platform::ui::kListRowHeight));
}

void ReportListView::ShowHeld(int row) {
    m_delegate->SetHeldRow(row);
    viewport()->update();
}

int ReportListView::HeldRow() const {
    return m_delegate->HeldRow();
}

void ReportListView::keyPressEvent(QKeyEvent* event) {
    if (HandleListKey(*this, *event)) {
        event->accept();
        return;
    }
    // Tab, Enter without a marked row and Escape go on to the window.
    event->ignore();
}

}  // namespace qtfront
