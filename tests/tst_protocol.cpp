// The wire protocol alone: the checksum, the frame envelopes, the field
// helpers, the configuration blocks against golden frames both ways, and
// the reply assembly, handshake check and CAN rules beside them. Frames are
// spelled out in hex; a block's frame is padded with 0x00 where no field of
// it is.
#include "protocol/ByteFields.h"
#include "protocol/CanRules.h"
#include "protocol/Configuration.h"
#include "protocol/ConfigFrame.h"
#include "protocol/Crc16.h"
#include "protocol/DeviceInfo.h"
#include "protocol/FilterTable.h"
#include "protocol/Handshake.h"
#include "protocol/MainParams.h"
#include "protocol/ModbusBlock.h"
#include "protocol/RecvMapping.h"
#include "protocol/ReplyAssembly.h"
#include "protocol/SendMapping.h"
#include "protocol/UpdateFrame.h"

#include <QtTest>

using namespace Protocol;

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

QByteArray counting(int size)
{
    QByteArray a(size, '\0');
    for (int i = 0; i < size; ++i)
        a[i] = static_cast<char>(i);
    return a;
}

// Runs one of the put* writers on `frame` and returns the result.
template <class Put> QByteArray written(QByteArray frame, Put put)
{
    put(frame);
    return frame;
}

// One row of the values table: what the code gave, and what it should give.
template <class... Args>
void same(const QString &actual, const QString &expected, const char *name, Args... args)
{
    QTest::addRow(name, args...) << actual << expected;
}
template <class... Args> void number(qint64 actual, qint64 expected, const char *name, Args... args)
{
    same(QString::number(actual), QString::number(expected), name, args...);
}
template <class... Args>
void bytes(const QByteArray &actual, const QByteArray &expected, const char *name, Args... args)
{
    same(actual.toHex(' '), expected.toHex(' '), name, args...);
}

// `head`, 0x00 up to `offset`, `bytes`, then 0x00 up to `size`.
QByteArray frame(const char *head, int offset, const char *bytes, int size = 0)
{
    QByteArray f = hex(head);
    f = f.leftJustified(offset, '\0') + hex(bytes);
    return f.leftJustified(size, '\0');
}

enum Way
{
    Both,
    DecodeOnly,
    EncodeOnly
};

// Both: encoding `block` gives exactly `bytes`, and decoding them gives
// `block`. Decode only: bytes the encoder never writes so. Encode only:
// bytes that decode to something else.
template <class Block> void row(const char *name, const Block &block, const QByteArray &bytes, Way way = Both)
{
    QByteArray out = bytes.left(3);
    block.encode(out);
    QTest::newRow(name) << (way == EncodeOnly || Block::decode(bytes) == block)
                        << (way == DecodeOnly ? bytes : out).toHex(' ') << bytes.toHex(' ');
}

SendRecord send(quint32 id, quint16 address, quint8 flags, quint8 length, bool on = true)
{
    return {on, id, address, flags, length};
}

} // namespace

class Tst_protocol : public QObject
{
    Q_OBJECT

private slots:
    void values_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        for (auto [command, frame] : {std::pair{0x03, "56AA0300317C"}, {0x05, "56AA050032DC"},
                                      {0x07, "56AA070033BC"}, {0x08, "56AA0800364C"}, {0x20, "56AA2000284C"},
                                      {0x22, "56AA2200292C"}, {0x24, "56AA24002A8C"}})
            bytes(ConfigFrame::readRequest(quint8(command)), hex(frame), "read 0x%02x", command);
        const QByteArray sixteen = hex("56AA0100 01 000102030405060708090A0B0C0D0E0F 4741");
        bytes(ConfigFrame::challengeRequest(counting(16)), sixteen, "challenge");
        // Short or long input must not move the CRC away from offset 21.
        bytes(ConfigFrame::challengeRequest(hex("00010203")),
              hex("56AA0100 01 00010203000000000000000000000000 8A57"), "challenge, short");
        bytes(ConfigFrame::challengeRequest(counting(20)), sixteen, "challenge, long");
        using namespace UpdateFrame;
        bytes(startPacket(256), hex("5701000A00000001000000000000 0FCE"), "start 256");
        bytes(endPacket(0xFFFF), hex("5703000AFFFF0000000000000000 8AA9"), "end FFFF");
        bytes(dataPacket(0x01020304, counting(256)),
              hex("5702010A 000000000000 01020304") + counting(256) + hex("507B"), "data");
        bytes(dataPacket(7, hex("414243")),
              hex("5702010A 000000000000 00000007 414243") + QByteArray(253, '\0') + hex("F6C4"),
              "data, short block");
        const QByteArray image = counting(300);
        bytes(block(image, 0), image.left(256), "block 0");
        bytes(block(image, 1), image.mid(256) + QByteArray(212, 0), "short last block");
        bytes(block(image, 2), QByteArray(256, '\0'), "block past the end");
        bytes(block({}, 0), QByteArray(256, '\0'), "block of empty image");
        bytes(written({}, [](auto &f) { putByte(f, 3, 0xAB); }), hex("000000AB"), "byte grows empty frame");
        bytes(written(hex("FF"), [](auto &f) { putBe16(f, 1, 0x1234); }), hex("FF1234"), "be16 appends");
        bytes(written(hex("112233"), [](auto &f) { putBe16(f, 0, 0xABCD); }), hex("ABCD33"), "overwrite");
        bytes(written(hex("1122"), [](auto &f) { putBe32(f, 1, 0xA1B2C3D4); }), hex("11A1B2C3D4"),
              "straddles end");
        bytes(written(hex("1122"), [](auto &f) { putByte(f, -1, 0xFF); }), hex("1122"), "negative offset");

        number(crc16Modbus(QByteArray()), 0xFFFF, "crc of nothing");
        number(crc16Modbus(hex("01030000000A")), 0xCDC5, "crc modbus read");
        const QByteArray check("123456789");
        for (int split : {0, 4, 9}) {
            const QByteArray first = check.left(split), second = check.mid(split);
            number(crc16Modbus(second, crc16Modbus(first)), 0x4B37, "crc chained at %d", split);
            number(crc16Modbus(second.constData(), second.size(), crc16Modbus(first)), 0x4B37, "raw at %d", split);
        }
        for (auto [frame, valid] : {std::pair{"", 0}, {"FF", 0}, {"FFFF", 1}, {"FFFFFF", 0}, {"56AA0300317C", 1},
                                    {"56AA03007C31", 0}, {"56AA0301317C", 0}, {"56AB0300317C", 0},
                                    {"313233343536373839374B", 1}})
            number(ConfigFrame::hasValidCrc(hex(frame)), valid, "valid crc %s", frame);
        for (auto [command, length] :
             {std::pair{0x01, 23}, {0x02, 79}, {0x03, 6}, {0x04, 353}, {0x05, 6}, {0x07, 6}, {0x08, 6}, {0x20, 6},
              {0x21, 87}, {0x22, 6}, {0x23, 265}, {0x24, 6}, {0x25, 301}, {0x00, 5}, {0x06, 5}, {0x09, 5},
              {0x1F, 5}, {0x26, 5}, {0xFF, 5}})
            number(ConfigFrame::requestLength(quint8(command)), length, "length 0x%02x", command);
        for (auto [size, blocks] : {std::pair{0ll, 0u}, {1ll, 1u}, {256ll, 1u}, {257ll, 2u}, {-1ll, 0u}}) {
            number(blockCount(size), blocks, "blocks of %lld", size);
            number(paddedLength(size), blocks * 256, "padded %lld", size);
        }
        for (auto [reply, phase, status] : {std::tuple{"5603000001", 3, 1}, {"5601000000", 1, 0}, {"56", 0, 0}}) {
            number(ack(hex(reply)).phase, phase, "ack phase %s", reply);
            number(ack(hex(reply)).status, status, "ack status %s", reply);
        }
        for (auto [packet, phase] : {std::pair{"5702010A", 2}, {"56AA0300", 0}, {"57", 0}})
            number(packetPhase(hex(packet)), phase, "packet phase %s", packet);
        for (auto [frame, command] : {std::pair{"56AA25", 0x25}, {"56AA", 0}})
            number(ConfigFrame::commandOf(hex(frame)), command, "command of %s", frame);
        // Readers give 0 for every byte outside the frame, on either side.
        const QByteArray f = hex("12345678");
        for (auto [offset, b, w, l] : {std::tuple{0, 0x12, 0x1234, 0x12345678}, {2, 0x56, 0x5678, 0x56780000},
                                       {3, 0x78, 0x7800, 0x78000000}, {4, 0, 0, 0}, {1000, 0, 0, 0},
                                       {-1, 0, 0x0012, 0x00123456}}) {
            number(byteAt(f, offset), b, "byte at %d", offset);
            number(be16At(f, offset), w, "be16 at %d", offset);
            number(be32At(f, offset), l, "be32 at %d", offset);
        }
        for (auto [text, value] : {std::pair{"1 2 3", 0x123}, {"\t1f\nff ffff ", 0x1FFFFFFF}, {"0x1A", 0x1A},
                                   {"abc", 0xABC}, {"", 0}, {"zz", 0}, {"12g", 0}, {"7FFFFFFF", 0x7FFFFFFF},
                                   {"80000000", 0}, {"FFFFFFFF", 0}, {"100000000", 0}})
            number(hexTextToWord(text), value, "hex text '%s'", text);
        for (auto [text, value] : {std::pair{" 0x8BCF203D\t", 0x8BCF203Dll}, {"FFFFFFFF", 0xFFFFFFFFll},
                                   {"7FFFFFFF", 0x7FFFFFFFll}, {"-1", 0xFFFFFFFFll}, {"-0x80000000", 0x80000000ll},
                                   {"0x8B CF203D", 0ll}, {"100000000", 0ll}, {"", 0ll}, {"0x", 0ll}, {"12g", 0ll}})
            number(hexTextToTimingWord(text), value, "timing word text '%s'", text);
        for (auto [value, text] : {std::pair{0x0u, "00"},
                                   {0x1u, "1"},
                                   {0x10u, "10"},
                                   {0xABCu, "abc"},
                                   {0x1FFFFFFFu, "1fffffff"},
                                   {0xFFFFFFFFu, "ffffffff"}})
            same(compactHexId(value), text, "compact id %s", text);
        same(hexDump(hex("56aa0300")), "56 AA 03 00", "dump");
        same(hexDump(QByteArray()), "", "dump of nothing");
        same(DeviceInfo::versionText({1, 0, 12}), "1.0.12", "version text");
        same(DeviceInfo{0, {}, {}, "", hex("E5BA8FE588974142")}.productNumberText(),
             QString::fromUtf8("序列AB"), "product number, UTF-8");

        // Which slot a mode's port groups use: 0 first, 1 second, 2 both.
        for (auto [mode, placement] : {std::pair{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 2}})
            number(SerialBlock::isDualMode(mode) * 2 + SerialBlock::singlePortInSecondSlot(mode), placement,
                   "slots of mode %d", mode);
        // With no mode, only the reserved run goes out and nothing else changes.
        bytes(written(hex("56AA02"), SerialBlock::encodeReservedOnly), frame("56AA02", 0, "", 77),
              "reserved only");
        bytes(written(QByteArray(80, '\x11'), SerialBlock::encodeReservedOnly),
              QByteArray(69, '\x11') + QByteArray(8, '\0') + QByteArray(3, '\x11'),
              "reserved only, nothing else");

        // The heartbeat's length list: position to data bytes and back.
        for (auto [length, index] : {std::pair{-1, -1}, {0, 0}, {8, 8}, {9, -1}, {12, 9}, {64, 15}, {65, -1}})
            number(ModbusBlock::lengthIndex(length), index, "heartbeat index of %d", length);
        for (auto [index, length] : {std::pair{-1, 0}, {0, 0}, {8, 8}, {9, 12}, {15, 64}, {16, 0}})
            number(ModbusBlock::lengthAt(index), length, "heartbeat length at %d", index);

        const auto reply = [](const char *name, const char *bytes, int length) {
            number(ReplyAssembly::completeReplyLength(hex(bytes)), length, name);
        };
        reply("acknowledgement", "56AA0800364C", 6);
        reply("the next reply glued behind", "56AA0800364C 56AA2100", 6);
        reply("still arriving", "56AA080036", 0);
        reply("too short for its command byte", "56AA0300317C", 0);
        reply("firmware acknowledgement", "5601000000 6DF0", 7);
        reply("noise in front", "1337AB 56AA0800364C", 0);
        reply("two bytes", "FFFF", 0);

        // The standard's example: its key and plaintext are the same 16 bytes.
        const QByteArray plain = hex("0123456789abcdeffedcba9876543210");
        const QByteArray answer = hex("56AA0100 01 681edf34d206965e86b3e94f536e4246 0000");
        number(Handshake::replyMatches(answer, plain, plain), 1, "answered");
        number(Handshake::replyMatches(QByteArray(answer).replace(20, 1, "\x47"), plain, plain), 0,
               "one byte off");
        number(Handshake::replyMatches(answer.left(20), plain, plain), 0, "reply cut short");
        number(Handshake::replyMatches(answer, plain.left(15), plain), 0, "challenge of 15 bytes");
        same(Handshake::sharedKey(), "MvTarvine-SM4Key", "shared key");

        for (auto [index, byte] : {std::pair{0, 1}, {7, 8}, {8, 12}, {14, 64}, {15, 0xFF}}) {
            number(sendLengthByte(index), byte, "length byte of %d", index);
            number(sendLengthIndex(quint8(byte)), index, "length index of %d", byte);
        }
        number(sendLengthByte(-1), 0, "no length entry goes out as 0");
        number(sendLengthIndex(0), -1, "length 0 has no entry");
        number(sendLengthNumber(15), 0, "dynamic counts as 0 bytes");
        for (auto [flags, protocol] :
             {std::pair{0x00, 0}, {0x20, 1}, {0x30, 2}, {0x10, 0}, {0xF0, 2}, {0xC0, 0}})
            number(protocolOf(quint8(flags)), protocol, "protocol of flags %02x", flags);
        for (auto [protocol, flags] : {std::pair{-1, 0}, {0, 0}, {1, 0x20}, {2, 0x30}, {3, 0}})
            number(protocolFlags(protocol), flags, "flags of protocol %d", protocol);
        QString allowed;
        for (int mode = 0; mode < 3; ++mode)
            for (int protocol = 0; protocol < 3; ++protocol)
                allowed += protocolAllowed(protocol, mode) ? '1' : '0';
        same(allowed, "100110111", "protocols by mode");
        number(countAllowed(3, 0) + 2 * countAllowed(4, 0) + 4 * countAllowed(31, 1), 5,
               "classic: 4 registers");
        number(lengthAllowed(0, 8) + 2 * lengthAllowed(0, 12) + 4 * lengthAllowed(1, 64), 5,
               "classic: 8 bytes");
        number(canModeOf(0, 1) + 3 * canModeOf(1, 0) + 9 * canModeOf(1, 1), 21,
               "mode of CAN, CANFD, CANFD with switch");
    }
    void values()
    {
        QFETCH(QString, actual);
        QTEST(actual, "expected");
    }

    // Every configuration block against its golden frames.
    void blocks_data()
    {
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<QByteArray>("actual");
        QTest::addColumn<QByteArray>("bytes");
        const char *h = "56AA02";
        row("conversion, transparent with id", ConversionBlock{2, 2, 300, false, false, 2, 3, 10},
            frame(h, 43, "02 00 02 00 01 2C 00 00 00 00 02 00 03 00 00 0A"));
        row("conversion, flags and maxima", ConversionBlock{1, 1, 500, true, true, 4, 63, 500},
            frame(h, 43, "01 00 01 00 01 F4 01 00 01 00 04 00 3F 00 01 F4"));
        row("conversion, out of range", ConversionBlock{1, 3, 600, false, false, 9, 200, 0xFFFF},
            frame(h, 43, "0100 0300 0258 0000 0000 0900 C800 FFFF"));
        row("conversion, any flag byte reads as set", ConversionBlock{3, 0, 0, true, true, 0, 0, 0},
            frame(h, 43, "0300 0000 0000 0700 FF00"), DecodeOnly);
        row("conversion, short frame", ConversionBlock{}, frame("56AA03", 0, "", 50), DecodeOnly);

        // The first slot and the mode at 3..14, the second slot at 59..68, eight 0x00.
        const auto serial = [h](const char *first, const char *second) {
            return frame(h, 3, first, 59) + hex(second) + QByteArray(8, '\0');
        };
        row("RS485 9600 8N1", SerialBlock{1, {}, {9600, 8, 1, 0}},
            serial("00000000000000000000 0100", "00002580080001000000"));
        row("RS232 115200 9-E-2", SerialBlock{0, {115200, 9, 2, 2}, {}},
            serial("0001C200090002000200 0000", "00000000000000000000"));
        row("RS232+RS422", SerialBlock{4, {115200, 8, 1, 1}, {921600, 9, 2, 2}},
            serial("0001C200080001000100 0400", "000E1000090002000200"));
        row("serial, odd values are kept", SerialBlock{7, {0x800004B0, 7, 3, 3}, {}},
            frame(h, 3, "800004B0 0700 0300 0300 07"), DecodeOnly);
        row("serial, short frame", SerialBlock{}, frame("56AA03", 0, "0000"), DecodeOnly);

        row("CAN: FD, fast, Non-ISO, extended, 500K, 2M", CanBlock{0x002A0007, 0x00250002, 0x1A, 1, 1, 1, 1},
            frame(h, 15, "002A0007 0000 00250002 0000 0000001A 01 00 01 00 01 00 01 00000000 99"));
        row("CAN: custom words with the top bit", CanBlock{0x8BCF203D, 0xFFFFFFFF, 0x7FF, 0, 0, 0, 0},
            frame(h, 15, "8BCF203D 0000 FFFFFFFF 0000 000007FF 00000000000000 00000000 99"));
        row("CAN, short frame", CanBlock{0x001C000E, 0, 0, 0, 0, 0, 0}, frame("56AA03", 15, "001C000E"),
            DecodeOnly);

        MainParams defaults{{0, {115200, 8, 1, 0}, {115200, 8, 1, 0}},
                            {0x002A0007, 0x00250002, 0, 0, 0, 0, 0},
                            {1, 0, 10, false, false, 1, 0, 10}};
        row("stand-in defaults", defaults,
            frame(h, 3,
                  "0001C200 0800 0100 0000 0000 002A0007 0000 00250002 0000 00000000 0000 0000 0000 00 "
                  "00000000 "
                  "99 0100 0000 000A 0000 0000 0100 0000 000A 0001C200 0800 0100 0000 0000000000000000"));

        const QByteArray trailer = hex("FFFFFFFFFFFFFFFF");
        row("two filters", FilterTable{true, {{0, 0, 0x123, 0}, {1, 2, 0x18FF0000, 0x1FFFFFFF}}},
            frame("56AA04", 3, "01000200 000000000000012300000000 01020000 18FF0000 1FFFFFFF", 343) +
                trailer);
        row("no filters", FilterTable{}, frame("56AA04", 3, "00000000", 343) + trailer);
        const QByteArray record = hex("0001 0000 00000100 00000000");
        const FilterRecord decoded{0, 1, 0x100, 0};
        const QByteArray crc = hex("ABCD");
        row("40 announced, 30 held: 28", FilterTable{true, QVector<FilterRecord>(28, decoded)},
            frame("56AA05", 3, "0100 2800") + record.repeated(30) + crc, DecodeOnly);
        row("3 announced, 2 held", FilterTable{true, {decoded, decoded}},
            frame("56AA05", 3, "0100 0300") + record.repeated(2) + crc, DecodeOnly);
        row("the last record without a CRC behind it", FilterTable{false, {decoded}},
            frame("56AA05", 3, "0000 0200") + record.repeated(2), DecodeOnly);
        row("none announced", FilterTable{true, {}}, frame("56AA05", 3, "0500 0000") + record + crc,
            DecodeOnly);

        ModbusBlock heartbeat{1, 1, 500, 0xB0, 12, 0x1ABCDEF0, {0x11, 0x22}};
        row("heartbeat", heartbeat, frame("56AA21", 3, "01 01 01F4 B0 0C 1ABCDEF0 1122", 85));
        heartbeat.length = 64;
        for (int i = 0; i < 64; ++i)
            heartbeat.data[i] = quint8(0xC0 + i);
        row("heartbeat of 64 bytes", heartbeat,
            frame("56AA21", 3,
                  "01 01 01F4 B0 40 1ABCDEF0 C0C1C2C3C4C5C6C7C8C9CACBCCCDCECFD0D1D2D3D4D5D6D7D8D9DADBDCDDDEDF"
                  "E0E1E2E3E4E5E6E7E8E9EAEBECEDEEEFF0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF 0000000000000000"));
        row("heartbeat, short frame", ModbusBlock{}, frame("56AA20", 0, ""), DecodeOnly);

        row("send: fast FD 64", SendMapping{{send(0x1FFFFFFF, 40000, 0xB0, 0x40)}},
            frame("56AA25", 3, "011FFFFFFF9C40B040", 299));
        row("send: CANFD 12, dynamic", SendMapping{{send(0x7FF, 1, 0x20, 12), send(1, 2, 0, 0xFF)}},
            frame("56AA25", 3, "01000007FF0001200C 0100000001000200FF", 299));
        row("send: unchecked rows go out as 0", SendMapping{{send(5, 6, 0, 1, false), send(7, 8, 0, 1)}},
            frame("56AA25", 3, "000000000500060001 010000000700080001", 299), EncodeOnly);
        row("send: a disabled slot ends the list", SendMapping{{send(1, 1, 0, 1)}},
            frame("56AA24", 3, "010000000100010001 000000000200020001 010000000300030001", 301), DecodeOnly);
        row("send: cut inside the second slot", SendMapping{{send(1, 1, 0, 1)}},
            frame("56AA24", 3, "010000000100010001 0100000002"), DecodeOnly);

        row("receive: 18FF50E5 at 100, 4", RecvMapping{{{true, 0x18FF50E5, 100, 4}}},
            frame("56AA23", 3, "0118FF50E5006404", 263));
        row("receive: unchecked goes out as 0", RecvMapping{{{false, 5, 6, 1}}},
            frame("56AA23", 3, "0000000005000601", 263), EncodeOnly);
        row("receive: cut inside the first slot", RecvMapping{}, frame("56AA22", 3, "01000000010001"),
            DecodeOnly);

        row("device info", DeviceInfo{1, {1, 0, 12}, {255, 9, 0}, "TV-485", "MV2026002"},
            frame("56AA07", 3, "01 01000C FF0900 54562D343835", 47) + hex("4D56323032363030320000"));
        row("texts end at their first zero", DeviceInfo{0, {}, {}, "ABCDE", ""},
            frame("56AA07", 10, "4142434445005859 5A", 47) + hex("00313233"), DecodeOnly);
        row("device info, short frame", DeviceInfo{2, {1, 0, 0}, {}, "", ""}, frame("56AA07", 3, "0201"),
            DecodeOnly);
        const QByteArray utf8 = hex("E5BA8FE588974142"); // "序列AB"
        row("whole fields, UTF-8", DeviceInfo{0, {}, {}, QByteArray(31, 'T'), utf8},
            frame("56AA07", 10, QByteArray("54").repeated(31).constData(), 47) + utf8 + QByteArray(3, '\0'));
    }
    void blocks()
    {
        QFETCH(bool, decodes);
        QVERIFY(decodes);
        QFETCH(QByteArray, actual);
        QTEST(actual, "bytes");
    }

    // The fields two configurations differ in, named as verify prints them.
    // A serial port slot counts only where the file's mode uses it.
    void differences_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("fields");
        QTest::newRow("RS232: the RS485 slot is unused") << 0 << "serial.port1.baudRate";
        QTest::newRow("RS485: its port is in the second slot") << 1 << "serial.port2.stopBits";
        QTest::newRow("RS232+RS422: both") << 4 << "serial.port1.baudRate serial.port2.stopBits";
    }
    void differences()
    {
        QFETCH(int, mode);
        Configuration d, f;
        d.main = f.main = MainParams();
        d.main->serial.mode = f.main->serial.mode = quint8(mode);
        d.main->serial.first.baudRate = 115200;
        d.main->serial.second.stopBits = 1;
        d.main->can.sendId = f.main->can.sendId = 0x123;
        f.main->conversion.mode = 5;
        // Heartbeat data behind the file's length is no difference either.
        d.modbus = f.modbus = ModbusBlock();
        d.modbus->length = f.modbus->length = 2;
        d.modbus->data[2] = 0x55;
        QStringList found;
        for (const Difference &diff : Configuration::differences(d, f))
            found << diff.field + '=' + diff.deviceValue + '/' + diff.fileValue;
        QFETCH(QString, fields);
        QStringList expected;
        for (const QString &field : fields.split(' '))
            expected << field + (field.endsWith("baudRate") ? "=115200/0" : "=1/0");
        QCOMPARE(found, expected << "conversion.mode=0/5");
    }
};

QTEST_APPLESS_MAIN(Tst_protocol)
#include "tst_protocol.moc"
