#include "protocol/Crc16.h"

#include <array>

namespace {

constexpr std::array<quint16, 256> makeTable()
{
    std::array<quint16, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint16 r = static_cast<quint16>(i);
        for (int bit = 0; bit < 8; ++bit)
            r = (r & 1) ? static_cast<quint16>((r >> 1) ^ 0xA001) : static_cast<quint16>(r >> 1);
        table[static_cast<size_t>(i)] = r;
    }
    return table;
}

constexpr std::array<quint16, 256> kTable = makeTable();

} // namespace

quint16 crc16Modbus(const char *data, int size, quint16 start)
{
    quint16 crc = start;
    for (int i = 0; i < size; ++i)
        crc = static_cast<quint16>((crc >> 8) ^ kTable[(crc ^ static_cast<quint8>(data[i])) & 0xFF]);
    return crc;
}

quint16 crc16Modbus(const QByteArray &data, quint16 start)
{
    return crc16Modbus(data.constData(), data.size(), start);
}
