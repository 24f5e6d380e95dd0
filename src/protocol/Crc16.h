#pragma once

#include <QByteArray>
#include <QtGlobal>

// CRC-16/MODBUS: reflected polynomial 0xA001, register starts at 0xFFFF,
// no final XOR. Passing a previous result as `start` carries the checksum
// over several buffers: crc(a + b) == crc16Modbus(b, crc16Modbus(a)).
quint16 crc16Modbus(const char *data, int size, quint16 start = 0xFFFF);
quint16 crc16Modbus(const QByteArray &data, quint16 start = 0xFFFF);
