#include "protocol/DeviceInfo.h"

#include "protocol/PaddedFields.h"

#include <tuple>

namespace Protocol {

namespace {

QByteArray textField(const QByteArray &reply, int offset, int size)
{
    QByteArray field = reply.mid(offset, size);
    const int end = field.indexOf('\0');
    if (end >= 0)
        field.truncate(end);
    return field;
}

// The text, cut to its field, then 0x00 to the field's end.
void putText(QByteArray &frame, int offset, int size, const QByteArray &text)
{
    const int length = qMin(size, text.size());
    putZeros(frame, offset + length, size - length);
    putBytes(frame, offset, text.constData(), length);
}

} // namespace

QString DeviceInfo::versionText(const Version &version)
{
    return QStringLiteral("%1.%2.%3").arg(version[0]).arg(version[1]).arg(version[2]);
}

void DeviceInfo::encode(QByteArray &frame) const
{
    putByte(frame, kTypeCodeOffset, typeCode);
    for (int i = 0; i < 3; ++i) {
        putByte(frame, kHardwareOffset + i, hardware[i]);
        putByte(frame, kFirmwareOffset + i, firmware[i]);
    }
    putText(frame, kDeviceTypeOffset, kDeviceTypeSize, deviceType);
    putZeros(frame, kDeviceTypeOffset + kDeviceTypeSize,
             kProductNumberOffset - kDeviceTypeOffset - kDeviceTypeSize);
    putText(frame, kProductNumberOffset, kProductNumberSize, productNumber);
}

DeviceInfo DeviceInfo::decode(const QByteArray &reply)
{
    DeviceInfo info;
    info.typeCode = byteAt(reply, kTypeCodeOffset);
    for (int i = 0; i < 3; ++i) {
        info.hardware[i] = byteAt(reply, kHardwareOffset + i);
        info.firmware[i] = byteAt(reply, kFirmwareOffset + i);
    }
    info.deviceType = textField(reply, kDeviceTypeOffset, kDeviceTypeSize);
    info.productNumber = textField(reply, kProductNumberOffset, kProductNumberSize);
    return info;
}

bool DeviceInfo::operator==(const DeviceInfo &o) const
{
    return std::tie(typeCode, hardware, firmware, deviceType, productNumber) ==
           std::tie(o.typeCode, o.hardware, o.firmware, o.deviceType, o.productNumber);
}

} // namespace Protocol
