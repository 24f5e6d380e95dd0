#pragma once

#include "protocol/FilterTable.h"
#include "protocol/MainParams.h"
#include "protocol/ModbusBlock.h"
#include "protocol/RecvMapping.h"
#include "protocol/SendMapping.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

namespace Protocol {

// One field whose decoded value differs between two configurations.
struct Difference
{
    QString field;
    QString deviceValue;
    QString fileValue;

    bool operator==(const Difference &other) const
    {
        return field == other.field && deviceValue == other.deviceValue && fileValue == other.fileValue;
    }
};

// What a converter holds (or a write would give it): the five configuration
// blocks as decoded values. A block is absent where it was not read, or a
// write would not send it (the mapping and Modbus blocks outside the Modbus
// modes). Never talks to a device and holds no widget: it only compares.
struct Configuration
{
    std::optional<MainParams> main;
    std::optional<FilterTable> filters;
    std::optional<ModbusBlock> modbus;
    std::optional<SendMapping> send;
    std::optional<RecvMapping> recv;

    // Decodes `frame` (a write request or a read reply: both have the same
    // layout) into the block its command byte names; false for other commands.
    bool takeFrame(const QByteArray &frame);
    // All five blocks are there: what a full read must have found.
    bool isComplete() const { return main && filters && modbus && send && recv; }

    // The blocks both hold, field by field, in a fixed order. Field names
    // are stable (scripts parse them):
    //   serial.mode, serial.port1.{baudRate,dataBits,stopBits,parity}, serial.port2.*
    //     (a port slot only where the file's serial mode uses it)
    //   can.{arbitrationWord,dataWord,sendId,protocol,acceleration,standard,frameType}
    //   conversion.{mode,direction,serialInterval,forwardInfo,forwardId,idLength,
    //               startOffset,canInterval}
    //   filters.{enabled,count}, filters[N].{frameType,filterType,id1,id2}
    //   modbus.{address,heartbeat,interval,flags,length,canId}, modbus.data[N]
    //     (N below the file's data length)
    //   send.count, send[N].{canId,address,flags,length}
    //   recv.count, recv[N].{canId,address,count}
    // Identifiers, timing words, flags and data bytes read as 0x-prefixed
    // lower-case hex, everything else as decimal. Rows are compared up to
    // the shorter list; the count tells the rest.
    static QVector<Difference> differences(const Configuration &device, const Configuration &file);
};

} // namespace Protocol
