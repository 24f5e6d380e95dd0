#include "protocol/Configuration.h"

#include "protocol/ByteFields.h"
#include "protocol/ConfigFrame.h"

namespace Protocol {

using namespace ConfigFrame;

bool Configuration::takeFrame(const QByteArray &frame)
{
    switch (byteAt(frame, 2)) {
    case WriteMain:
    case ReadMain:
        main = MainParams::decode(frame);
        return true;
    case WriteFilters:
    case ReadFilters:
        filters = FilterTable::decode(frame);
        return true;
    case WriteModbus:
    case ReadModbus:
        modbus = ModbusBlock::decode(frame);
        return true;
    case WriteSendMapping:
    case ReadSendMapping:
        send = SendMapping::decode(frame);
        return true;
    case WriteRecvMapping:
    case ReadRecvMapping:
        recv = RecvMapping::decode(frame);
        return true;
    default:
        return false;
    }
}

namespace {

QString hex(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16);
}

QString dec(qint64 value)
{
    return QString::number(value);
}

// Collects the differences under a field-name prefix.
class Collector
{
public:
    explicit Collector(QVector<Difference> &out) : m_out(out) {}

    void hexField(const QString &name, quint32 device, quint32 file)
    {
        if (device != file)
            m_out.append({name, hex(device), hex(file)});
    }
    void decField(const QString &name, qint64 device, qint64 file)
    {
        if (device != file)
            m_out.append({name, dec(device), dec(file)});
    }

private:
    QVector<Difference> &m_out;
};

void comparePort(Collector &c, const QString &prefix, const SerialPortSlot &d, const SerialPortSlot &f)
{
    c.decField(prefix + QLatin1String(".baudRate"), d.baudRate, f.baudRate);
    c.decField(prefix + QLatin1String(".dataBits"), d.dataBits, f.dataBits);
    c.decField(prefix + QLatin1String(".stopBits"), d.stopBits, f.stopBits);
    c.decField(prefix + QLatin1String(".parity"), d.parity, f.parity);
}

void compareMain(Collector &c, const MainParams &d, const MainParams &f)
{
    c.decField(QStringLiteral("serial.mode"), d.serial.mode, f.serial.mode);
    // Only the slots the file's mode uses: the other one goes out as zeros,
    // is of no use to the device, and shows on a read whatever an earlier
    // configuration left there.
    const int mode = f.serial.mode;
    const bool secondOnly = SerialBlock::singlePortInSecondSlot(mode);
    if (!secondOnly)
        comparePort(c, QStringLiteral("serial.port1"), d.serial.first, f.serial.first);
    if (secondOnly || SerialBlock::isDualMode(mode))
        comparePort(c, QStringLiteral("serial.port2"), d.serial.second, f.serial.second);

    c.hexField(QStringLiteral("can.arbitrationWord"), d.can.arbitrationWord, f.can.arbitrationWord);
    c.hexField(QStringLiteral("can.dataWord"), d.can.dataWord, f.can.dataWord);
    c.hexField(QStringLiteral("can.sendId"), d.can.sendId, f.can.sendId);
    c.decField(QStringLiteral("can.protocol"), d.can.protocol, f.can.protocol);
    c.decField(QStringLiteral("can.acceleration"), d.can.acceleration, f.can.acceleration);
    c.decField(QStringLiteral("can.standard"), d.can.standard, f.can.standard);
    c.decField(QStringLiteral("can.frameType"), d.can.frameType, f.can.frameType);

    const ConversionBlock &dc = d.conversion;
    const ConversionBlock &fc = f.conversion;
    c.decField(QStringLiteral("conversion.mode"), dc.mode, fc.mode);
    c.decField(QStringLiteral("conversion.direction"), dc.direction, fc.direction);
    c.decField(QStringLiteral("conversion.serialInterval"), dc.serialInterval, fc.serialInterval);
    c.decField(QStringLiteral("conversion.forwardInfo"), dc.forwardInfo, fc.forwardInfo);
    c.decField(QStringLiteral("conversion.forwardId"), dc.forwardId, fc.forwardId);
    c.decField(QStringLiteral("conversion.idLength"), dc.idLength, fc.idLength);
    c.decField(QStringLiteral("conversion.startOffset"), dc.startOffset, fc.startOffset);
    c.decField(QStringLiteral("conversion.canInterval"), dc.canInterval, fc.canInterval);
}

void compareFilters(Collector &c, const FilterTable &d, const FilterTable &f)
{
    c.decField(QStringLiteral("filters.enabled"), d.enabled, f.enabled);
    c.decField(QStringLiteral("filters.count"), d.records.size(), f.records.size());
    for (int i = 0; i < qMin(d.records.size(), f.records.size()); ++i) {
        const QString row = QStringLiteral("filters[%1].").arg(i);
        const FilterRecord &dr = d.records.at(i);
        const FilterRecord &fr = f.records.at(i);
        c.decField(row + QLatin1String("frameType"), dr.frameType, fr.frameType);
        c.decField(row + QLatin1String("filterType"), dr.filterType, fr.filterType);
        c.hexField(row + QLatin1String("id1"), dr.id1, fr.id1);
        c.hexField(row + QLatin1String("id2"), dr.id2, fr.id2);
    }
}

void compareModbus(Collector &c, const ModbusBlock &d, const ModbusBlock &f)
{
    c.decField(QStringLiteral("modbus.address"), d.address, f.address);
    c.decField(QStringLiteral("modbus.heartbeat"), d.heartbeat, f.heartbeat);
    c.decField(QStringLiteral("modbus.interval"), d.interval, f.interval);
    c.hexField(QStringLiteral("modbus.flags"), d.flags, f.flags);
    c.decField(QStringLiteral("modbus.length"), d.length, f.length);
    c.hexField(QStringLiteral("modbus.canId"), d.canId, f.canId);
    // The heartbeat carries `length` bytes: what stands behind them in the
    // device is of no use to it (and a read leaves it as it was).
    for (int i = 0; i < qMin(int(f.length), ModbusBlock::kMaxDataLength); ++i)
        c.hexField(QStringLiteral("modbus.data[%1]").arg(i), d.data[size_t(i)], f.data[size_t(i)]);
}

void compareSend(Collector &c, const SendMapping &d, const SendMapping &f)
{
    c.decField(QStringLiteral("send.count"), d.records.size(), f.records.size());
    for (int i = 0; i < qMin(d.records.size(), f.records.size()); ++i) {
        const QString row = QStringLiteral("send[%1].").arg(i);
        const SendRecord &dr = d.records.at(i);
        const SendRecord &fr = f.records.at(i);
        c.hexField(row + QLatin1String("canId"), dr.canId, fr.canId);
        c.decField(row + QLatin1String("address"), dr.address, fr.address);
        c.hexField(row + QLatin1String("flags"), dr.flags, fr.flags);
        c.decField(row + QLatin1String("length"), dr.length, fr.length);
    }
}

void compareRecv(Collector &c, const RecvMapping &d, const RecvMapping &f)
{
    c.decField(QStringLiteral("recv.count"), d.records.size(), f.records.size());
    for (int i = 0; i < qMin(d.records.size(), f.records.size()); ++i) {
        const QString row = QStringLiteral("recv[%1].").arg(i);
        const RecvRecord &dr = d.records.at(i);
        const RecvRecord &fr = f.records.at(i);
        c.hexField(row + QLatin1String("canId"), dr.canId, fr.canId);
        c.decField(row + QLatin1String("address"), dr.address, fr.address);
        c.decField(row + QLatin1String("count"), dr.count, fr.count);
    }
}

} // namespace

QVector<Difference> Configuration::differences(const Configuration &device, const Configuration &file)
{
    QVector<Difference> out;
    Collector c(out);
    if (device.main && file.main)
        compareMain(c, *device.main, *file.main);
    if (device.filters && file.filters)
        compareFilters(c, *device.filters, *file.filters);
    if (device.modbus && file.modbus)
        compareModbus(c, *device.modbus, *file.modbus);
    if (device.send && file.send)
        compareSend(c, *device.send, *file.send);
    if (device.recv && file.recv)
        compareRecv(c, *device.recv, *file.recv);
    return out;
}

} // namespace Protocol
