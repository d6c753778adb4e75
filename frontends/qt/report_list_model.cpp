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
    m_pending.clear();
    endResetModel();
}

void ReportListModel::OnChange(const ControlChange& change) {
    const int last = change.first + std::max(change.count, 1) - 1;
    switch (change.what) {
        case ControlChange::What::Columns:
            m_columnsChanged = true;
            Reset();
            break;
        case ControlChange::What::Reset:
            Reset();
            break;
        case ControlChange::What::RowsInserted:
            Hold({Pending::Kind::Inserted, change.first, last});
            break;
        case ControlChange::What::RowsRemoved:
            Hold({Pending::Kind::Removed, change.first, last});
            break;
        case ControlChange::What::RowsChanged:
            Hold({Pending::Kind::Changed, change.first, last});
            break;
        case ControlChange::What::Selection:
            Hold({Pending::Kind::Changed, 0, kAll});
            break;
        default:
            return;
    }
    ScheduleSync();
}

void ReportListModel::Reset() {
    m_resetPending = true;
    m_pending.clear();
}

void ReportListModel::Hold(Pending change) {
    if (m_resetPending) {
        return;
    }
    if (!m_pending.empty()) {
        Pending& previous = m_pending.back();
        const int count = change.last - change.first + 1;
        using Kind = Pending::Kind;
        if (change.kind == Kind::Inserted && previous.kind == Kind::Inserted &&
            change.first >= previous.first && change.first <= previous.last + 1) {
            previous.last += count;  // the inserted block stays one block
            return;
        }
        if (change.kind == Kind::Removed && previous.kind == Kind::Removed &&
            (change.first == previous.first || change.last + 1 == previous.first)) {
            const int removed = previous.last - previous.first + 1 + count;
            previous.first = change.first;
            previous.last = previous.first + removed - 1;
            return;
        }
        if (change.kind == Kind::Changed && previous.kind == Kind::Changed) {
            // Positions do not move between two in-place changes, so their union is exact.
            const bool all = change.last == kAll || previous.last == kAll;
            previous.first = all ? 0 : std::min(previous.first, change.first);
            previous.last = all ? kAll : std::max(previous.last, change.last);
            return;
        }
        if (change.kind == Kind::Changed && change.last != kAll &&
            previous.kind == Kind::Inserted && change.first >= previous.first &&
            change.last <= previous.last) {
            return;  // Qt reads rows it is told are new afresh
        }
    }
    if (m_pending.size() >= kMaxPending) {
        Reset();
        return;
    }
    m_pending.push_back(change);
}

void ReportListModel::ScheduleSync() {
    if (!m_syncTimer.isActive()) {
        m_syncTimer.start();
    }
}

void ReportListModel::Hand(const Pending& change) {
    switch (change.kind) {
        case Pending::Kind::Inserted: {
            const int first = std::clamp(change.first, 0, m_rows);
            const int count = change.last - change.first + 1;
            beginInsertRows({}, first, first + count - 1);
            m_rows += count;
            endInsertRows();
            break;
        }
        case Pending::Kind::Removed: {
            const int last = std::min(change.last, m_rows - 1);
            if (change.first < 0 || last < change.first) {
                break;
            }
            beginRemoveRows({}, change.first, last);
            m_rows -= last - change.first + 1;
            endRemoveRows();
            break;
        }
        case Pending::Kind::Changed: {
            const int first = std::max(change.first, 0);
            const int last = change.last == kAll ? m_rows - 1 : std::min(change.last, m_rows - 1);
            if (last >= first && m_columns > 0) {
                emit dataChanged(index(first, 0), index(last, m_columns - 1));
            }
            break;
        }
    }
}

void ReportListModel::Sync() {
    m_syncTimer.stop();
    if (m_list == nullptr) {
        return;
    }
    if (!m_resetPending) {
        const std::vector<Pending> pending = std::move(m_pending);
        m_pending.clear();
        for (const Pending& change : pending) {
            Hand(change);
        }
        // The ranges must add up to the control's rows; should they not, start over.
        m_resetPending = m_rows != m_list->GetItemCount();
    }
    if (m_resetPending) {
        const bool columnsChanged = m_columnsChanged;
        beginResetModel();
        m_rows = m_list->GetItemCount();
        m_columns = m_list->GetColumnCount();
        m_resetPending = false;
        m_columnsChanged = false;
        m_pending.clear();
        endResetModel();
        if (onReset) {
            onReset(columnsChanged);
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
