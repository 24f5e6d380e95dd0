#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Fixed-offset fields of frames. Writers grow the frame with 0x00 bytes up
// to the offset they write and skip bytes at negative offsets; readers
// return 0 for bytes past the end, so a short frame can never make them
// read outside the array.

void putByte(QByteArray &frame, int offset, quint8 value);
void putBe16(QByteArray &frame, int offset, quint16 value);
void putBe32(QByteArray &frame, int offset, quint32 value);

quint8 byteAt(const QByteArray &frame, int offset);
quint16 be16At(const QByteArray &frame, int offset);
quint32 be32At(const QByteArray &frame, int offset);

// "56 AA 03 00" style dump used by the debug output.
QString hexDump(const QByteArray &bytes);

// An identifier as the pages show it: lower-case hex without leading
// zeros, "00" for zero (0x123 -> "123", 0 -> "00").
QString compactHexId(quint32 value);

// Text read as a signed 32-bit hexadecimal number, as the device fields
// expect it: white space removed, optional "0x" prefix; a text that does
// not read, or a value above 0x7FFFFFFF, gives 0.
quint32 hexTextToWord(const QString &text);

// A typed timing word: text read as a signed 32-bit hexadecimal number
// (white space around it and a "0x" prefix allowed, none inside), and a
// word at or above 0x80000000 as it is; a text that does not read, or a
// value beyond 32 bits, gives 0.
quint32 hexTextToTimingWord(const QString &text);
