#include "report_list_model.h"

#include <algorithm>

#include "control_view.h"
#include "device_metrics.h"

namespace qtfront {

using platform::ui::ColumnAlign;
using platform::ui::ControlChange;

namespace {

Qt::Alignment ToAlignment(ColumnAlign align) {
    switch (align) {
        case ColumnAlign::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case ColumnAlign::Centre:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case ColumnAlign::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

ReportListModel::ReportListModel(platform::ui::ListView& list, const Artwork& artwork,
                                 QObject* parent)
    : QAbstractTableModel(parent),
      m_list(&list),
      m_artwork(artwork),
      m_rows(list.GetItemCount()),
      m_columns(list.GetColumnCount()) {
    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(0);
    connect(&m_syncTimer, &QTimer::timeout, this, &ReportListModel::Sync);
}

void ReportListModel::Detach() {
    m_syncTimer.stop();
    beginResetModel();
    m_list = nullptr;
    m_rows = 0;
    m_columns = 0;
    m_resetPending = false;
    m_changedFirst = m_changedLast = -1;
    endResetModel();
}

void ReportListModel::OnChange(const ControlChange& change) {
    switch (change.what) {
        case ControlChange::What::Columns:
            m_columnsChanged = true;
            m_resetPending = true;
            break;
        case ControlChange::What::RowsInserted:
        case ControlChange::What::RowsRemoved:
        case ControlChange::What::Reset:
            m_resetPending = true;
            break;
        case ControlChange::What::RowsChanged:
            MarkChanged(change.first, change.first + std::max(change.count, 1) - 1);
            break;
        case ControlChange::What::Selection:
            MarkChanged(0, m_rows - 1);
            break;
        default:
            return;
    }
    ScheduleSync();
}

void ReportListModel::MarkChanged(int first, int last) {
    if (m_resetPending || last < first) {
        return;
    }
    m_changedFirst = m_changedFirst < 0 ? first : std::min(m_changedFirst, first);
    m_changedLast = std::max(m_changedLast, last);
}

void ReportListModel::ScheduleSync() {
    if (!m_syncTimer.isActive()) {
        m_syncTimer.start();
    }
}

void ReportListModel::Sync() {
    m_syncTimer.stop();
    if (m_list == nullptr) {
        return;
    }
    if (m_resetPending) {
        const bool columnsChanged = m_columnsChanged;
        beginResetModel();
        m_rows = m_list->GetItemCount();
        m_columns = m_list->GetColumnCount();
        m_resetPending = false;
        m_columnsChanged = false;
        m_changedFirst = m_changedLast = -1;
        endResetModel();
        if (onReset) {
            onReset(columnsChanged);
        }
        return;
    }
    if (m_changedFirst >= 0) {
        const int first = std::min(m_changedFirst, m_rows - 1);
        const int last = std::min(m_changedLast, m_rows - 1);
        m_changedFirst = m_changedLast = -1;
        if (first >= 0 && last >= first && m_columns > 0) {
            emit dataChanged(index(first, 0), index(last, m_columns - 1));
        }
    }
}

bool ReportListModel::Live(int row) const {
    return m_list != nullptr && row >= 0 && row < m_list->GetItemCount();
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    // Between a change and Sync() Qt still counts the old rows; rows gone read as empty.
    if (!index.isValid() || !Live(index.row()) || index.column() >= m_list->GetColumnCount()) {
        return {};
    }
    const platform::ui::ListRow& row = m_list->Row(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return column < row.texts.size() ? ToQString(row.texts[column]) : QString();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(ToAlignment(m_list->Columns()[column].align));
        case Qt::DecorationRole:
            if (column == 0 && m_list->SmallImages() != nullptr && row.image >= 0 &&
                row.image < m_list->SmallImages()->Count()) {
                return m_artwork.Icon(m_list->SmallImages()->ResourceAt(row.image), kListIconSize);
            }
            return {};
        case Qt::CheckStateRole:
            if (column == 0 && m_list->HasCheckBoxes()) {
                return row.checked ? Qt::Checked : Qt::Unchecked;
            }
            return {};
        case kSelectedRole:
            return (row.state & platform::ui::kStateSelected) != 0;
        case kHasCheckBoxRole:
            return m_list->HasCheckBoxes();
        default:
            return {};
    }
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || m_list == nullptr || section < 0 ||
        section >= m_list->GetColumnCount()) {
        return {};
    }
    const platform::ui::ListColumn& column = m_list->Columns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return ToQString(column.heading);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(ToAlignment(column.align));
    }
    return {};
}

Qt::ItemFlags ReportListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

}  // namespace qtfront
