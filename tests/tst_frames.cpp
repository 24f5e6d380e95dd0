// Golden-byte checks of the checksum, the configuration and firmware frame
// envelopes and the fixed-offset field helpers. Expected frames are spelled
// out byte for byte rather than rebuilt with the code under test.
#include "link/ByteFields.h"
#include "link/ConfigFrame.h"
#include "link/Crc16.h"
#include "link/UpdateFrame.h"

#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray counting(int size)
{
    QByteArray a(size, '\0');
    for (int i = 0; i < size; ++i)
        a[i] = static_cast<char>(i);
    return a;
}

} // namespace

class Tst_frames : public QObject
{
    Q_OBJECT
private slots:
    void crc_data();
    void crc();
    void crcChains_data();
    void crcChains();
    void readRequest_data();
    void readRequest();
    void hasValidCrc_data();
    void hasValidCrc();
    void requestLength_data();
    void requestLength();
    void challengeRequest_data();
    void challengeRequest();
    void updatePackets_data();
    void updatePackets();
    void dataPacket();
    void imageGeometry_data();
    void imageGeometry();
    void imageBlock_data();
    void imageBlock();
    void readers_data();
    void readers();
    void writers_data();
    void writers();
    void compactHexId_data();
    void compactHexId();
    void hexTextToWord_data();
    void hexTextToWord();
    void hexDump();
};

void Tst_frames::crc_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<quint16>("expected");
    QTest::newRow("check string 123456789") << QByteArray("123456789") << quint16(0x4B37);
    QTest::newRow("empty") << QByteArray() << quint16(0xFFFF);
    QTest::newRow("modbus read of one register") << hex("010300000001") << quint16(0x0A84);
    QTest::newRow("modbus read of ten registers") << hex("01030000000A") << quint16(0xCDC5);
}

void Tst_frames::crc()
{
    QFETCH(QByteArray, data);
    QFETCH(quint16, expected);
    QCOMPARE(crc16Modbus(data), expected);
    QCOMPARE(crc16Modbus(data.constData(), data.size()), expected);
}

void Tst_frames::crcChains_data()
{
    QTest::addColumn<int>("split");
    for (int split : {0, 1, 4, 5, 8, 9})
        QTest::addRow("split at %d", split) << split;
}

void Tst_frames::crcChains()
{
    QFETCH(int, split);
    const QByteArray data("123456789");
    const QByteArray first = data.left(split);
    const QByteArray second = data.mid(split);
    QCOMPARE(crc16Modbus(second, crc16Modbus(first)), quint16(0x4B37));
    QCOMPARE(crc16Modbus(second.constData(), second.size(), crc16Modbus(first)), quint16(0x4B37));
}

void Tst_frames::readRequest_data()
{
    QTest::addColumn<quint8>("command");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("0x03 main parameters") << quint8(0x03) << hex("56AA0300317C");
    QTest::newRow("0x05 filters") << quint8(0x05) << hex("56AA050032DC");
    QTest::newRow("0x07 device information") << quint8(0x07) << hex("56AA070033BC");
    QTest::newRow("0x08 restore defaults") << quint8(0x08) << hex("56AA0800364C");
    QTest::newRow("0x20 modbus") << quint8(0x20) << hex("56AA2000284C");
    QTest::newRow("0x22 receive mapping") << quint8(0x22) << hex("56AA2200292C");
    QTest::newRow("0x24 send mapping") << quint8(0x24) << hex("56AA24002A8C");
}

void Tst_frames::readRequest()
{
    QFETCH(quint8, command);
    QFETCH(QByteArray, expected);
    QVERIFY(ConfigFrame::isReadRequest(command));
    QCOMPARE(ConfigFrame::readRequest(command).toHex(' '), expected.toHex(' '));
}

void Tst_frames::hasValidCrc_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("one byte 00") << hex("00") << false;
    QTest::newRow("one byte FF") << hex("FF") << false;
    QTest::newRow("FF FF: the CRC of nothing") << hex("FFFF") << true;
    QTest::newRow("FF FF FF: leading byte changes the CRC") << hex("FFFFFF") << false;
    QTest::newRow("read request") << hex("56AA0300317C") << true;
    QTest::newRow("CRC high byte first") << hex("56AA03007C31") << false;
    QTest::newRow("check string, low byte first") << QByteArray("123456789") + hex("374B") << true;
    const QByteArray good = hex("56AA0300317C");
    for (int bit = 0; bit < good.size() * 8; bit += 5) {
        QByteArray flipped = good;
        flipped[bit / 8] = static_cast<char>(flipped.at(bit / 8) ^ (1 << (bit % 8)));
        QTest::addRow("bit %d flipped", bit) << flipped << false;
    }
}

void Tst_frames::hasValidCrc()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, valid);
    QCOMPARE(ConfigFrame::hasValidCrc(frame), valid);
}

void Tst_frames::requestLength_data()
{
    QTest::addColumn<quint8>("command");
    QTest::addColumn<int>("length");
    const QList<QPair<int, int>> table{
        {0x01, 23}, {0x02, 79}, {0x03, 6}, {0x04, 353}, {0x05, 6}, {0x07, 6},   {0x08, 6},
        {0x20, 6},  {0x21, 87}, {0x22, 6}, {0x23, 265}, {0x24, 6}, {0x25, 301}, {0x00, 5},
        {0x06, 5},  {0x09, 5},  {0x1F, 5}, {0x26, 5},   {0xFF, 5},
    };
    for (const auto &row : table)
        QTest::addRow("0x%02x", row.first) << quint8(row.first) << row.second;
}

void Tst_frames::requestLength()
{
    QFETCH(quint8, command);
    QFETCH(int, length);
    QCOMPARE(ConfigFrame::requestLength(command), length);
}

void Tst_frames::challengeRequest_data()
{
    QTest::addColumn<QByteArray>("challenge");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray sixteen = hex("56AA0100 01 000102030405060708090A0B0C0D0E0F 4741");
    QTest::newRow("16 bytes") << counting(16) << sixteen;
    // Short or long input must not move the CRC away from offset 21.
    QTest::newRow("short, zero filled")
        << hex("00010203") << hex("56AA0100 01 00010203000000000000000000000000 8A57");
    QTest::newRow("long, first 16 only") << counting(20) << sixteen;
}

void Tst_frames::challengeRequest()
{
    QFETCH(QByteArray, challenge);
    QFETCH(QByteArray, expected);
    const QByteArray frame = ConfigFrame::challengeRequest(challenge);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void Tst_frames::updatePackets_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("start, L = 256") << UpdateFrame::startPacket(256)
                                    << hex("5701000A00000001000000000000 0FCE");
    QTest::newRow("start, L = 0") << UpdateFrame::startPacket(0) << hex("5701000A00000000000000000000 CFDE");
    QTest::newRow("end, CRC FFFF") << UpdateFrame::endPacket(0xFFFF)
                                   << hex("5703000AFFFF0000000000000000 8AA9");
    QTest::newRow("end, CRC 4B37") << UpdateFrame::endPacket(0x4B37)
                                   << hex("5703000A4B370000000000000000 8DD8");
}

void Tst_frames::updatePackets()
{
    QFETCH(QByteArray, packet);
    QFETCH(QByteArray, expected);
    QCOMPARE(packet.toHex(' '), expected.toHex(' '));
}

void Tst_frames::dataPacket()
{
    const QByteArray packet = UpdateFrame::dataPacket(0x01020304, counting(256));
    QCOMPARE(packet.size(), 272);
    QCOMPARE(packet.left(14).toHex(' '), hex("5702010A 000000000000 01020304").toHex(' '));
    QCOMPARE(packet.mid(14, 256), counting(256));
    QCOMPARE(packet.right(2).toHex(' '), hex("507B").toHex(' '));

    const QByteArray shortBlock = UpdateFrame::dataPacket(7, hex("414243"));
    QCOMPARE(shortBlock.size(), 272);
    QCOMPARE(shortBlock.mid(10, 7).toHex(' '), hex("00000007414243").toHex(' '));
    QCOMPARE(shortBlock.mid(17, 253), QByteArray(253, '\0'));
    const quint16 crc = crc16Modbus(shortBlock.left(270));
    QCOMPARE(quint8(shortBlock.at(270)), quint8(crc >> 8));
    QCOMPARE(quint8(shortBlock.at(271)), quint8(crc & 0xFF));
}

void Tst_frames::imageGeometry_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<quint32>("blocks");
    QTest::addColumn<quint32>("padded");
    QTest::newRow("0") << qint64(0) << 0u << 0u;
    QTest::newRow("1") << qint64(1) << 1u << 256u;
    QTest::newRow("255") << qint64(255) << 1u << 256u;
    QTest::newRow("256") << qint64(256) << 1u << 256u;
    QTest::newRow("257") << qint64(257) << 2u << 512u;
    QTest::newRow("negative") << qint64(-1) << 0u << 0u;
}

void Tst_frames::imageGeometry()
{
    QFETCH(qint64, size);
    QFETCH(quint32, blocks);
    QFETCH(quint32, padded);
    QCOMPARE(UpdateFrame::blockCount(size), blocks);
    QCOMPARE(UpdateFrame::paddedLength(size), padded);
}

void Tst_frames::imageBlock_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<quint32>("index");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray image = counting(300);
    QTest::newRow("full block") << image << 0u << image.left(256);
    QTest::newRow("short last block") << image << 1u << image.mid(256) + QByteArray(212, '\0');
    QTest::newRow("past the end") << image << 2u << QByteArray(256, '\0');
    QTest::newRow("empty image") << QByteArray() << 0u << QByteArray(256, '\0');
}

void Tst_frames::imageBlock()
{
    QFETCH(QByteArray, image);
    QFETCH(quint32, index);
    QFETCH(QByteArray, expected);
    QCOMPARE(UpdateFrame::block(image, index), expected);
}

void Tst_frames::readers_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<quint8>("byte");
    QTest::addColumn<quint16>("be16");
    QTest::addColumn<quint32>("be32");
    QTest::newRow("start") << 0 << quint8(0x12) << quint16(0x1234) << 0x12345678u;
    QTest::newRow("two before the end") << 2 << quint8(0x56) << quint16(0x5678) << 0x56780000u;
    QTest::newRow("last byte") << 3 << quint8(0x78) << quint16(0x7800) << 0x78000000u;
    QTest::newRow("at the end") << 4 << quint8(0) << quint16(0) << 0u;
    QTest::newRow("far past the end") << 1000 << quint8(0) << quint16(0) << 0u;
    QTest::newRow("one before the start") << -1 << quint8(0) << quint16(0x0012) << 0x00123456u;
}

void Tst_frames::readers()
{
    QFETCH(int, offset);
    QFETCH(quint8, byte);
    QFETCH(quint16, be16);
    QFETCH(quint32, be32);
    const QByteArray frame = hex("12345678");
    QCOMPARE(byteAt(frame, offset), byte);
    QCOMPARE(be16At(frame, offset), be16);
    QCOMPARE(be32At(frame, offset), be32);
}

void Tst_frames::writers_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("width"); // 1, 2 or 4 bytes
    QTest::addColumn<int>("offset");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("byte grows empty frame") << QByteArray() << 1 << 3 << 0xABu << hex("000000AB");
    QTest::newRow("be16 appends") << hex("FF") << 2 << 1 << 0x1234u << hex("FF1234");
    QTest::newRow("be32 grows with zeros") << QByteArray() << 4 << 2 << 0x12345678u << hex("000012345678");
    QTest::newRow("overwrite keeps length") << hex("112233") << 2 << 0 << 0xABCDu << hex("ABCD33");
    QTest::newRow("straddles the end") << hex("1122") << 4 << 1 << 0xA1B2C3D4u << hex("11A1B2C3D4");
    QTest::newRow("negative offset ignored") << hex("1122") << 1 << -1 << 0xFFu << hex("1122");
}

void Tst_frames::writers()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, width);
    QFETCH(int, offset);
    QFETCH(quint32, value);
    QFETCH(QByteArray, expected);
    if (width == 1)
        putByte(frame, offset, static_cast<quint8>(value));
    else if (width == 2)
        putBe16(frame, offset, static_cast<quint16>(value));
    else
        putBe32(frame, offset, value);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void Tst_frames::compactHexId_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0u << "00";
    QTest::newRow("one digit") << 0x1u << "1";
    QTest::newRow("inner zero kept") << 0x10u << "10";
    QTest::newRow("0x123") << 0x123u << "123";
    QTest::newRow("lower case") << 0xABCu << "abc";
    QTest::newRow("largest extended id") << 0x1FFFFFFFu << "1fffffff";
    QTest::newRow("all ones") << 0xFFFFFFFFu << "ffffffff";
}

void Tst_frames::compactHexId()
{
    QFETCH(quint32, value);
    QFETCH(QString, text);
    QCOMPARE(::compactHexId(value), text);
}

void Tst_frames::hexTextToWord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("value");
    QTest::newRow("spaces removed") << "1 2 3" << 0x123u;
    QTest::newRow("tabs and line breaks removed") << "\t1f\nff ffff " << 0x1FFFFFFFu;
    QTest::newRow("0x prefix") << "0x1A" << 0x1Au;
    QTest::newRow("lower case digits") << "abc" << 0xABCu;
    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("only spaces") << "   " << 0u;
    QTest::newRow("not hex") << "zz" << 0u;
    QTest::newRow("trailing garbage") << "12g" << 0u;
    QTest::newRow("largest accepted") << "7FFFFFFF" << 0x7FFFFFFFu;
    QTest::newRow("one above") << "80000000" << 0u;
    QTest::newRow("all ones") << "FFFFFFFF" << 0u;
    QTest::newRow("nine digits") << "100000000" << 0u;
}

void Tst_frames::hexTextToWord()
{
    QFETCH(QString, text);
    QFETCH(quint32, value);
    QCOMPARE(::hexTextToWord(text), value);
}

void Tst_frames::hexDump()
{
    QCOMPARE(::hexDump(hex("56aa0300")), QStringLiteral("56 AA 03 00"));
    QCOMPARE(::hexDump(QByteArray()), QString());
}

QTEST_GUILESS_MAIN(Tst_frames)
#include "tst_frames.moc"
