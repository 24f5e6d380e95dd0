#pragma once

#include <QtGlobal>

// What CAN and CAN FD allow, as the converter sees it: identifier ranges,
// the flags byte of send records and of the heartbeat frame, the bit-rate
// timing words, the send lengths, and which protocols, lengths and register
// counts a bus mode admits.
namespace Protocol {

constexpr quint32 kMaxStandardId = 0x7FF;
constexpr quint32 kMaxExtendedId = 0x1FFFFFFF;

constexpr quint8 kFlagExtended = 0x80;
constexpr quint8 kFlagRemote = 0x40;
constexpr quint8 kFlagFd = 0x20;
constexpr quint8 kFlagBitRateSwitch = 0x10;

// Protocol list positions of a send record or the heartbeat.
enum CanProtocol
{
    ProtocolCan = 0,
    ProtocolCanFd = 1,
    ProtocolCanFdBrs = 2
};

// The bus mode the CAN block sets up.
enum CanMode
{
    ModeClassic = 0,
    ModeFd = 1,
    ModeFdBrs = 2
};

// Classic CAN frames carry 8 data bytes, so at most four registers.
constexpr int kClassicMaxLength = 8;
constexpr int kClassicMaxRegisters = 4;

// Timing words of the bit-rate list entries, in list order. They belong to
// the device: shown, sent and matched, never interpreted. The last entry of
// each list is the custom one; its word 0 is a placeholder.
inline constexpr quint32 kArbitrationWords[] = {0x006F01F3, 0x001C0176, 0x00050176, 0x002A0063, 0x001C004A,
                                                0x002A0031, 0x0005004A, 0x001C001D, 0x002A0013, 0x001C000E,
                                                0x0016000E, 0x002A0007, 0x00390004, 0x00270004, 0x00000000};
inline constexpr quint32 kDataWords[] = {0x003E001D, 0x001C001D, 0x002A0013, 0x001C000E, 0x002A0009,
                                         0x002A0007, 0x00390004, 0x00270004, 0x00250002, 0x004D0000,
                                         0x00390000, 0x00120001, 0x00250000, 0x00000000};

// The send length list: data bytes of each entry; the last one, dynamic,
// goes out as 0xFF.
constexpr quint8 kDynamicLength = 0xFF;
inline constexpr quint8 kSendLengths[] = {1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 20, 24, 32, 48, 64, kDynamicLength};
constexpr int kSendLengthCount = int(sizeof kSendLengths);

// Length byte of a list position; no entry (-1) goes out as 0.
quint8 sendLengthByte(int index);
// List position of a length byte, -1 when the list has none.
int sendLengthIndex(quint8 length);
// Data bytes of a list position as a number: the dynamic entry and no
// entry count as 0.
int sendLengthNumber(int index);

// Flag bits of a protocol list position (none for a position outside it).
quint8 protocolFlags(int protocol);
// The protocol a flags byte selects. A bit-rate switch without CAN FD
// selects plain CAN.
int protocolOf(quint8 flags);

// The bus mode of the CAN block's protocol and acceleration positions.
int canModeOf(int protocol, int acceleration);

// Classic CAN only in mode 0, no bit-rate switch in mode 1.
bool protocolAllowed(int protocol, int mode);
// Whether a protocol carries `bytes` data bytes (dynamic counts as 0).
bool lengthAllowed(int protocol, int bytes);
// Register count list position (count - 1) under a bus mode.
bool countAllowed(int index, int mode);

} // namespace Protocol
