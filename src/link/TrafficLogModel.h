#pragma once

#include "link/TrafficLog.h"

#include <QAbstractTableModel>

// A table over the traffic log for the panel: one row an entry, the oldest
// first, the text made only for the rows a view asks for. It follows the
// log only when told to (sync()), so that a burst of frames costs the view
// one update, and a hidden panel none at all. It must never change the log.
class TrafficLogModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        TimeColumn,
        DirectionColumn,
        CommandColumn,
        LengthColumn,
        BytesColumn,
        MarkColumn,
        ColumnCount
    };

    explicit TrafficLogModel(TrafficLog *log, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The row as one line of text, as the log formats it; empty for an
    // entry that has fallen out of the log since the last sync.
    QString lineAt(int row) const;

    // Brings the rows up to the log: entries that fell out of the ring are
    // removed at the top, new ones inserted at the bottom.
    void sync();

private:
    // The log's entry behind `row`, or null.
    const TrafficLog::Entry *entryAt(int row) const;

    TrafficLog *m_log;
    int m_rows = 0;
    qint64 m_recorded = 0; // the log's count of recorded entries when last synced
    quint32 m_generation = 0;
};
