#include "browser/daylistmodel.h"

#include "platform/statictext.h"

#include <algorithm>

namespace Starwick {

DayListModel::DayListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    m_announceTimer.setSingleShot(true);
    m_announceTimer.setTimerType(Qt::PreciseTimer);
    m_announceTimer.setInterval(kAnnounceIntervalMs);
    connect(&m_announceTimer, &QTimer::timeout, this, &DayListModel::announce);
}

DayListModel::~DayListModel() = default;

void DayListModel::addRow(const QString& column0)
{
    m_rows.push_back({column0, QString(), QString(), QString()});
    scheduleAnnounce();
}

QString DayListModel::cell(int row, int column) const
{
    if (row < 0 || row >= count() || column < 0 || column >= kColumns)
        return QString();
    return m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void DayListModel::setCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= count() || column < 0 || column >= kColumns)
        return;
    m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
    if (row >= m_announced)
        return; // the views read it when they are told of the row
    if (m_dirtyTop < 0) {
        m_dirtyTop = m_dirtyBottom = row;
    } else {
        m_dirtyTop = std::min(m_dirtyTop, row);
        m_dirtyBottom = std::max(m_dirtyBottom, row);
    }
    m_dirtyLeft = std::min(m_dirtyLeft, column);
    m_dirtyRight = std::max(m_dirtyRight, column);
    scheduleAnnounce();
}

void DayListModel::clear()
{
    m_announceTimer.stop();
    beginResetModel();
    m_rows.clear();
    m_announced = 0;
    m_dirtyTop = m_dirtyBottom = -1;
    m_dirtyLeft = kColumns;
    m_dirtyRight = -1;
    endResetModel();
}

bool DayListModel::hasPendingChanges() const
{
    return m_announced < count() || m_dirtyTop >= 0;
}

void DayListModel::scheduleAnnounce()
{
    if (!m_announceTimer.isActive())
        m_announceTimer.start();
}

void DayListModel::announce()
{
    m_announceTimer.stop();
    if (m_dirtyTop >= 0) {
        const QModelIndex topLeft = index(m_dirtyTop, m_dirtyLeft);
        const QModelIndex bottomRight = index(m_dirtyBottom, m_dirtyRight);
        m_dirtyTop = m_dirtyBottom = -1;
        m_dirtyLeft = kColumns;
        m_dirtyRight = -1;
        emit dataChanged(topLeft, bottomRight, {Qt::DisplayRole});
    }
    if (m_announced < count()) {
        beginInsertRows(QModelIndex(), m_announced, count() - 1);
        m_announced = count();
        endInsertRows();
    }
}

int DayListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_announced;
}

int DayListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant DayListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return QVariant();
    const QString& text = m_rows[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
    // A title from the archive page shows on hover as it stands, never read as markup.
    return role == Qt::ToolTipRole ? platform::PlainTextToolTip(text) : text;
}

Qt::ItemFlags DayListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace Starwick
