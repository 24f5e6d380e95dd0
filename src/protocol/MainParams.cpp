#include "protocol/MainParams.h"

namespace Protocol {

void MainParams::encode(QByteArray &frame) const
{
    serial.encode(frame);
    can.encode(frame);
    conversion.encode(frame);
}

MainParams MainParams::decode(const QByteArray &reply)
{
    return {SerialBlock::decode(reply), CanBlock::decode(reply), ConversionBlock::decode(reply)};
}

bool MainParams::operator==(const MainParams &o) const
{
    return serial == o.serial && can == o.can && conversion == o.conversion;
}

} // namespace Protocol
