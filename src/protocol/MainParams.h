#pragma once

#include "protocol/CanBlock.h"
#include "protocol/ConversionBlock.h"
#include "protocol/SerialBlock.h"

namespace Protocol {

// The main-parameter frames (0x02 write, 0x03 reply): the serial, CAN and
// conversion blocks, written in that order.
struct MainParams
{
    SerialBlock serial;
    CanBlock can;
    ConversionBlock conversion;

    void encode(QByteArray &frame) const;
    static MainParams decode(const QByteArray &reply);

    bool operator==(const MainParams &other) const;
    bool operator!=(const MainParams &other) const { return !(*this == other); }
};

} // namespace Protocol
