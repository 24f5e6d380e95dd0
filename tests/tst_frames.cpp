// Golden-byte checks of the checksum, the configuration and firmware frame
// envelopes and the fixed-offset field helpers. Expected frames are spelled
// out byte for byte rather than rebuilt with the code under test.
#include "protocol/ByteFields.h"
#include "protocol/ConfigFrame.h"
#include "protocol/Crc16.h"
#include "protocol/UpdateFrame.h"

#include <QtTest>

static QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

static QByteArray counting(int size)
{
    QByteArray a(size, '\0');
    for (int i = 0; i < size; ++i)
        a[i] = static_cast<char>(i);
    return a;
}

// Runs one of the put* writers on `frame` and returns the result.
template <class Put> static QByteArray written(QByteArray frame, Put put)
{
    put(frame);
    return frame;
}

// One row of a table of numbers: what the code gave, and what it should give.
template <class... Args> static void row(qint64 actual, qint64 expected, const char *name, Args... args)
{
    QTest::addRow(name, args...) << actual << expected;
}

class Tst_frames : public QObject
{
    Q_OBJECT
private slots:
    void frameBytes_data()
    {
        QTest::addColumn<QByteArray>("actual");
        QTest::addColumn<QByteArray>("expected");
        for (auto [command, frame] : {std::pair{0x03, "56AA0300317C"}, {0x05, "56AA050032DC"},
                                      {0x07, "56AA070033BC"}, {0x08, "56AA0800364C"}, {0x20, "56AA2000284C"},
                                      {0x22, "56AA2200292C"}, {0x24, "56AA24002A8C"}})
            QTest::addRow("read 0x%02x", command) << ConfigFrame::readRequest(quint8(command)) << hex(frame);
        const QByteArray sixteen = hex("56AA0100 01 000102030405060708090A0B0C0D0E0F 4741");
        QTest::newRow("challenge") << ConfigFrame::challengeRequest(counting(16)) << sixteen;
        // Short or long input must not move the CRC away from offset 21.
        QTest::newRow("challenge, short") << ConfigFrame::challengeRequest(hex("00010203"))
                                          << hex("56AA0100 01 00010203000000000000000000000000 8A57");
        QTest::newRow("challenge, long") << ConfigFrame::challengeRequest(counting(20)) << sixteen;
        using UpdateFrame::startPacket, UpdateFrame::endPacket;
        QTest::newRow("start 256") << startPacket(256) << hex("5701000A00000001000000000000 0FCE");
        QTest::newRow("start 0") << startPacket(0) << hex("5701000A00000000000000000000 CFDE");
        QTest::newRow("end FFFF") << endPacket(0xFFFF) << hex("5703000AFFFF0000000000000000 8AA9");
        QTest::newRow("end 4B37") << endPacket(0x4B37) << hex("5703000A4B370000000000000000 8DD8");
        QTest::newRow("data") << UpdateFrame::dataPacket(0x01020304, counting(256))
                              << hex("5702010A 000000000000 01020304") + counting(256) + hex("507B");
        QTest::newRow("data, short block")
            << UpdateFrame::dataPacket(7, hex("414243"))
            << hex("5702010A 000000000000 00000007 414243") + QByteArray(253, '\0') + hex("F6C4");
        const QByteArray image = counting(300);
        QTest::newRow("block 0") << UpdateFrame::block(image, 0) << image.left(256);
        QTest::newRow("short last block") << UpdateFrame::block(image, 1)
                                          << image.mid(256) + QByteArray(212, 0);
        QTest::newRow("block past the end") << UpdateFrame::block(image, 2) << QByteArray(256, '\0');
        QTest::newRow("block of empty image") << UpdateFrame::block({}, 0) << QByteArray(256, '\0');
        using F = QByteArray &;
        QTest::newRow("byte grows empty frame") << written({}, [](F f) { putByte(f, 3, 0xAB); })
                                                << hex("000000AB");
        QTest::newRow("be16 appends") << written(hex("FF"), [](F f) { putBe16(f, 1, 0x1234); })
                                      << hex("FF1234");
        QTest::newRow("be32 grows") << written({}, [](F f) { putBe32(f, 2, 0x12345678); })
                                    << hex("000012345678");
        QTest::newRow("overwrite") << written(hex("112233"), [](F f) { putBe16(f, 0, 0xABCD); })
                                   << hex("ABCD33");
        QTest::newRow("straddles end") << written(hex("1122"), [](F f) { putBe32(f, 1, 0xA1B2C3D4); })
                                       << hex("11A1B2C3D4");
        QTest::newRow("negative offset") << written(hex("1122"), [](F f) { putByte(f, -1, 0xFF); })
                                         << hex("1122");
    }
    void frameBytes()
    {
        QFETCH(QByteArray, actual);
        QFETCH(QByteArray, expected);
        QCOMPARE(actual.toHex(' '), expected.toHex(' '));
    }

    void numbers_data()
    {
        QTest::addColumn<qint64>("actual");
        QTest::addColumn<qint64>("expected");
        row(crc16Modbus("123456789"), 0x4B37, "crc check string");
        row(crc16Modbus(QByteArray()), 0xFFFF, "crc of nothing");
        row(crc16Modbus(hex("01030000000A")), 0xCDC5, "crc modbus read");
        const QByteArray check("123456789");
        for (int split : {0, 4, 9}) {
            const QByteArray first = check.left(split), second = check.mid(split);
            row(crc16Modbus(second, crc16Modbus(first)), 0x4B37, "crc chained at %d", split);
            row(crc16Modbus(second.constData(), second.size(), crc16Modbus(first)), 0x4B37, "raw at %d", split);
        }
        for (auto [frame, valid] : {std::pair{"", 0}, {"FF", 0}, {"FFFF", 1}, {"FFFFFF", 0}, {"56AA0300317C", 1},
                                    {"56AA03007C31", 0}, {"56AA0301317C", 0}, {"56AB0300317C", 0},
                                    {"313233343536373839374B", 1}})
            row(ConfigFrame::hasValidCrc(hex(frame)), valid, "valid crc %s", frame);
        for (auto [command, length] :
             {std::pair{0x01, 23}, {0x02, 79}, {0x03, 6}, {0x04, 353}, {0x05, 6}, {0x07, 6}, {0x08, 6}, {0x20, 6},
              {0x21, 87}, {0x22, 6}, {0x23, 265}, {0x24, 6}, {0x25, 301}, {0x00, 5}, {0x06, 5}, {0x09, 5},
              {0x1F, 5}, {0x26, 5}, {0xFF, 5}})
            row(ConfigFrame::requestLength(quint8(command)), length, "length 0x%02x", command);
        for (auto [size, blocks] : {std::pair{0ll, 0u}, {1ll, 1u}, {256ll, 1u}, {257ll, 2u}, {-1ll, 0u}}) {
            row(UpdateFrame::blockCount(size), blocks, "blocks of %lld", size);
            row(UpdateFrame::paddedLength(size), blocks * 256, "padded %lld", size);
        }
        for (auto [reply, phase, status] : {std::tuple{"5603000001", 3, 1}, {"5601000000", 1, 0}, {"56", 0, 0}}) {
            row(UpdateFrame::ack(hex(reply)).phase, phase, "ack phase %s", reply);
            row(UpdateFrame::ack(hex(reply)).status, status, "ack status %s", reply);
        }
        for (auto [packet, phase] : {std::pair{"5702010A", 2}, {"56AA0300", 0}, {"57", 0}})
            row(UpdateFrame::packetPhase(hex(packet)), phase, "packet phase %s", packet);
        for (auto [frame, command] : {std::pair{"56AA25", 0x25}, {"56AA", 0}})
            row(ConfigFrame::commandOf(hex(frame)), command, "command of %s", frame);
        // Readers give 0 for every byte outside the frame, on either side.
        const QByteArray f = hex("12345678");
        for (auto [offset, b, w, l] : {std::tuple{0, 0x12, 0x1234, 0x12345678}, {2, 0x56, 0x5678, 0x56780000},
                                       {3, 0x78, 0x7800, 0x78000000}, {4, 0, 0, 0}, {1000, 0, 0, 0},
                                       {-1, 0, 0x0012, 0x00123456}}) {
            row(byteAt(f, offset), b, "byte at %d", offset);
            row(be16At(f, offset), w, "be16 at %d", offset);
            row(be32At(f, offset), l, "be32 at %d", offset);
        }
        for (auto [text, value] : {std::pair{"1 2 3", 0x123}, {"\t1f\nff ffff ", 0x1FFFFFFF}, {"0x1A", 0x1A},
                                   {"abc", 0xABC}, {"", 0}, {"zz", 0}, {"12g", 0}, {"7FFFFFFF", 0x7FFFFFFF},
                                   {"80000000", 0}, {"FFFFFFFF", 0}, {"100000000", 0}})
            row(hexTextToWord(text), value, "hex text '%s'", text);
        for (auto [text, value] : {std::pair{" 0x8B CF203D", 0x8BCF203Dll}, {"FFFFFFFF", 0xFFFFFFFFll},
                                   {"100000000", 0ll}, {"-1", 0ll}, {"", 0ll}, {"0x", 0ll}, {"12g", 0ll}})
            row(hexTextToUnsigned(text), value, "unsigned hex text '%s'", text);
    }
    void numbers()
    {
        QFETCH(qint64, actual);
        QFETCH(qint64, expected);
        QCOMPARE(actual, expected);
    }

    void texts()
    {
        QStringList ids;
        for (quint32 value : {0x0u, 0x1u, 0x10u, 0xABCu, 0x1FFFFFFFu, 0xFFFFFFFFu})
            ids << compactHexId(value);
        QCOMPARE(ids, (QStringList{"00", "1", "10", "abc", "1fffffff", "ffffffff"}));
        QCOMPARE(hexDump(hex("56aa0300")), QStringLiteral("56 AA 03 00"));
        QCOMPARE(hexDump(QByteArray()), QString());
    }
};

QTEST_GUILESS_MAIN(Tst_frames)
#include "tst_frames.moc"
