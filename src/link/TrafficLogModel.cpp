#include "link/TrafficLogModel.h"

#include "link/TrafficLog.h"
#include "protocol/ByteFields.h"

#include <QBrush>
#include <QFontDatabase>

TrafficLogModel::TrafficLogModel(TrafficLog *log, QObject *parent)
    : QAbstractTableModel(parent), m_log(log), m_rows(log->count()), m_recorded(log->recorded()),
      m_generation(log->generation())
{
}

int TrafficLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TrafficLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrafficLogModel::data(const QModelIndex &index, int role) const
{
    const TrafficLog::Entry *found = index.isValid() ? entryAt(index.row()) : nullptr;
    if (!found)
        return QVariant();
    const TrafficLog::Entry &entry = *found;
    if (role == Qt::ForegroundRole) {
        const bool marked = entry.mark != TrafficLog::Mark::None ||
                            entry.direction == TrafficLog::Direction::Timeout ||
                            entry.direction == TrafficLog::Direction::Note;
        return marked ? QVariant(QBrush(Qt::darkRed)) : QVariant();
    }
    if (index.column() == BytesColumn && role == Qt::FontRole)
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // The column is cut at the panel's edge; the whole frame on hovering.
    if (index.column() == BytesColumn && role == Qt::ToolTipRole)
        return hexDump(entry.bytes);
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case TimeColumn:
        return TrafficLog::timeText(entry);
    case DirectionColumn:
        return TrafficLog::directionText(entry);
    case CommandColumn:
        return TrafficLog::commandText(entry);
    case LengthColumn:
        return TrafficLog::lengthText(entry);
    case BytesColumn:
        return hexDump(entry.bytes);
    case MarkColumn:
        return TrafficLog::markText(entry);
    default:
        return QVariant();
    }
}

const TrafficLog::Entry *TrafficLogModel::entryAt(int row) const
{
    // A row stays on its entry while the log runs ahead of the last sync;
    // an entry that has fallen out of the ring since has none.
    const qint64 at = row + (m_recorded - m_rows) - (m_log->recorded() - m_log->count());
    if (m_log->generation() != m_generation || row < 0 || row >= m_rows || at < 0 || at >= m_log->count())
        return nullptr;
    return &m_log->entry(int(at));
}

QString TrafficLogModel::lineAt(int row) const
{
    const TrafficLog::Entry *entry = entryAt(row);
    return entry ? TrafficLog::line(*entry) : QString();
}

QVariant TrafficLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return tr("时间");
    case DirectionColumn:
        return tr("方向");
    case CommandColumn:
        return tr("命令");
    case LengthColumn:
        return tr("长度");
    case BytesColumn:
        return tr("数据");
    case MarkColumn:
        return tr("备注");
    default:
        return QVariant();
    }
}

void TrafficLogModel::sync()
{
    const qint64 added = m_log->recorded() - m_recorded;
    if (m_log->generation() != m_generation || added > m_log->count()) {
        // Cleared, or more new entries than the ring holds: start over.
        beginResetModel();
        m_rows = m_log->count();
        m_recorded = m_log->recorded();
        m_generation = m_log->generation();
        endResetModel();
        return;
    }
    if (added == 0)
        return;
    // What the ring let go of to make room for the new entries.
    const int dropped = int(qMax<qint64>(0, m_rows + added - m_log->count()));
    if (dropped > 0) {
        beginRemoveRows(QModelIndex(), 0, dropped - 1);
        m_rows -= dropped;
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), m_rows, m_rows + int(added) - 1);
    m_rows += int(added);
    m_recorded = m_log->recorded();
    endInsertRows();
}
