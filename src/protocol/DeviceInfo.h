#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

namespace Protocol {

// The device information reply (0x07): type code at 3, hardware and
// firmware versions at 4..6 and 7..9, the device type text at 10..40 and
// the product number at 47..57. Texts are UTF-8, ending at their first
// 0x00 or at the end of their field.
struct DeviceInfo
{
    static constexpr int kTypeCodeOffset = 3;
    static constexpr int kHardwareOffset = 4;
    static constexpr int kFirmwareOffset = 7;
    static constexpr int kDeviceTypeOffset = 10;
    static constexpr int kDeviceTypeSize = 31;
    static constexpr int kProductNumberOffset = 47;
    static constexpr int kProductNumberSize = 11;

    using Version = std::array<quint8, 3>;

    quint8 typeCode = 0;
    Version hardware{};
    Version firmware{};
    QByteArray deviceType;    // without its 0x00 padding
    QByteArray productNumber; // without its 0x00 padding

    // "1.0.12": decimal, no leading zeros.
    static QString versionText(const Version &version);
    QString deviceTypeText() const { return QString::fromUtf8(deviceType); }
    QString productNumberText() const { return QString::fromUtf8(productNumber); }

    // Texts longer than their field are cut; bytes 41..46 go out as 0x00.
    void encode(QByteArray &frame) const;
    static DeviceInfo decode(const QByteArray &reply);

    bool operator==(const DeviceInfo &other) const;
    bool operator!=(const DeviceInfo &other) const { return !(*this == other); }
};

} // namespace Protocol
