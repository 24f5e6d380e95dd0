#include "protocol/SerialBlock.h"

#include "protocol/PaddedFields.h"

#include <tuple>

namespace Protocol {

namespace {

void encodeSlot(QByteArray &frame, int offset, const SerialPortSlot &slot)
{
    putBe32(frame, offset + SerialPortSlot::kBaudRate, slot.baudRate);
    putPadded(frame, offset + SerialPortSlot::kDataBits, slot.dataBits);
    putPadded(frame, offset + SerialPortSlot::kStopBits, slot.stopBits);
    putPadded(frame, offset + SerialPortSlot::kParity, slot.parity);
}

SerialPortSlot decodeSlot(const QByteArray &reply, int offset)
{
    SerialPortSlot slot;
    slot.baudRate = be32At(reply, offset + SerialPortSlot::kBaudRate);
    slot.dataBits = byteAt(reply, offset + SerialPortSlot::kDataBits);
    slot.stopBits = byteAt(reply, offset + SerialPortSlot::kStopBits);
    slot.parity = byteAt(reply, offset + SerialPortSlot::kParity);
    return slot;
}

} // namespace

bool SerialPortSlot::operator==(const SerialPortSlot &o) const
{
    return std::tie(baudRate, dataBits, stopBits, parity) ==
           std::tie(o.baudRate, o.dataBits, o.stopBits, o.parity);
}

void SerialBlock::encode(QByteArray &frame) const
{
    putPadded(frame, kModeOffset, mode);
    encodeSlot(frame, kFirstSlotOffset, first);
    encodeSlot(frame, kSecondSlotOffset, second);
    encodeReservedOnly(frame);
}

void SerialBlock::encodeReservedOnly(QByteArray &frame)
{
    putZeros(frame, kReservedOffset, kReservedSize);
}

SerialBlock SerialBlock::decode(const QByteArray &reply)
{
    SerialBlock block;
    block.mode = byteAt(reply, kModeOffset);
    block.first = decodeSlot(reply, kFirstSlotOffset);
    block.second = decodeSlot(reply, kSecondSlotOffset);
    return block;
}

bool SerialBlock::operator==(const SerialBlock &o) const
{
    return mode == o.mode && first == o.first && second == o.second;
}

} // namespace Protocol
