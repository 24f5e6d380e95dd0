#include "protocol/ByteFields.h"

void putByte(QByteArray &frame, int offset, quint8 value)
{
    // Mirrors the readers: an offset outside the frame's range can never
    // write outside the array.
    if (offset < 0)
        return;
    if (frame.size() <= offset)
        frame.append(offset + 1 - frame.size(), '\0');
    frame[offset] = static_cast<char>(value);
}

void putBe16(QByteArray &frame, int offset, quint16 value)
{
    putByte(frame, offset, static_cast<quint8>(value >> 8));
    putByte(frame, offset + 1, static_cast<quint8>(value));
}

void putBe32(QByteArray &frame, int offset, quint32 value)
{
    putBe16(frame, offset, static_cast<quint16>(value >> 16));
    putBe16(frame, offset + 2, static_cast<quint16>(value));
}

quint8 byteAt(const QByteArray &frame, int offset)
{
    if (offset < 0 || offset >= frame.size())
        return 0;
    return static_cast<quint8>(frame.at(offset));
}

quint16 be16At(const QByteArray &frame, int offset)
{
    return static_cast<quint16>((byteAt(frame, offset) << 8) | byteAt(frame, offset + 1));
}

quint32 be32At(const QByteArray &frame, int offset)
{
    return (quint32(be16At(frame, offset)) << 16) | be16At(frame, offset + 2);
}

QString hexDump(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString compactHexId(quint32 value)
{
    return value == 0 ? QStringLiteral("00") : QString::number(value, 16);
}

namespace {

QString withoutWhiteSpace(const QString &text)
{
    QString t;
    for (const QChar c : text)
        if (!c.isSpace())
            t.append(c);
    return t;
}

} // namespace

quint32 hexTextToWord(const QString &text)
{
    bool ok = false;
    const int value = withoutWhiteSpace(text).toInt(&ok, 16);
    return ok ? static_cast<quint32>(value) : 0;
}

quint32 hexTextToTimingWord(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 16);
    if (ok)
        return static_cast<quint32>(value);
    const uint word = text.toUInt(&ok, 16);
    return ok ? word : 0;
}
