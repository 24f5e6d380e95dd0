#pragma once

#include <QByteArray>
#include <QtGlobal>

// Configuration frames: 0x56 0xAA, command byte, payload at fixed offsets,
// CRC-16/MODBUS low byte first. There is no length field; every command
// has a fixed frame length.
namespace ConfigFrame {

enum Command : quint8
{
    Challenge = 0x01,
    WriteMain = 0x02,
    ReadMain = 0x03,
    WriteFilters = 0x04,
    ReadFilters = 0x05,
    ReadDeviceInfo = 0x07,
    RestoreDefaults = 0x08,
    ReadModbus = 0x20,
    WriteModbus = 0x21,
    ReadRecvMapping = 0x22,
    WriteRecvMapping = 0x23,
    ReadSendMapping = 0x24,
    WriteSendMapping = 0x25,
};

// Where every configuration frame and reply carries its command byte.
constexpr int CommandOffset = 2;

constexpr int ChallengeSize = 16;
constexpr int ChallengeOffset = 5;

// 0x56 0xAA and the command byte.
QByteArray header(quint8 command);
// The command byte of a frame or reply (0 when it is too short to have one).
quint8 commandOf(const QByteArray &frame);

// Appends CRC-16/MODBUS over the whole array, low byte first.
void appendCrc(QByteArray &frame);

// A frame whose last two bytes are the CRC of everything before them
// (low byte first). Nothing else is checked.
bool hasValidCrc(const QByteArray &frame);

bool isReadRequest(quint8 command);
// The five reads of a full configuration read (device information is not one).
bool isConfigurationRead(quint8 command);
// The same five, in the order a full read sends them.
constexpr quint8 FullReadOrder[] = {ReadMain, ReadModbus, ReadSendMapping, ReadRecvMapping, ReadFilters};

// A read request: header, one 0x00, CRC (6 bytes).
QByteArray readRequest(quint8 command);

// The connect challenge: header, 0x00, 0x01, the 16 bytes, CRC (23 bytes).
QByteArray challengeRequest(const QByteArray &challenge);

// Length of the frame the tool sends for a command (5 for codes it never
// sends: the bare envelope).
int requestLength(quint8 command);

// Shortest reply the tool can decode for a reply command byte: shorter
// frames are never handed to a page. 0 where any length will do.
int minimumReplyLength(quint8 command);

} // namespace ConfigFrame
