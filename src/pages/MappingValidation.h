#pragma once

#include <QString>
#include <QVector>

// Columns of the mapping page's tables.
enum SendColumn
{
    SendCheck,
    SendFormat,
    SendType,
    SendProtocol,
    SendLength,
    SendId,
    SendAddress
};
enum RecvColumn
{
    RecvCheck,
    RecvId,
    RecvAddress,
    RecvCount
};

// What validation looks at in a send row.
struct SendRowTexts
{
    bool extended = false; // the frame type list shows "扩展帧"
    QString id;
    QString address;
};

// What validation looks at in a receive row.
struct RecvRowTexts
{
    QString id;
    QString address;
    int countIndex = -1; // register count list position (count - 1)
};

struct MappingCell
{
    bool send = false;
    int row = 0;
    int column = 0;

    bool operator==(const MappingCell &o) const
    {
        return send == o.send && row == o.row && column == o.column;
    }
};

// What a validation run found: the cells whose highlight it cleared, in
// the order it looked at them, and for a refused table the cells at fault
// with the warning to show.
struct MappingFinding
{
    bool accepted = true;
    QVector<MappingCell> cleared;
    QVector<MappingCell> highlighted;
    QString title;
    QString text;
    QString button;
};

// The checks before a write in mode "MODBUS从站", in their order: send
// identifiers, send addresses, receive rows one by one, receive
// identifiers, receive register ranges. The first fault ends the run.
// Knows nothing of widgets.
MappingFinding findMappingFault(const QVector<SendRowTexts> &send, const QVector<RecvRowTexts> &recv);
