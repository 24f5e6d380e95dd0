// The conversion and serial pages: which widget holds which field of their
// blocks, the mode rules and the signals they emit, replies and
// configuration files. The blocks' bytes are checked in tst_protocol.
#include "pages/ConvertParamWidget.h"
#include "pages/SerialParamWidget.h"

#include "TableState.h"

#include <QtTest>
#include <QtWidgets>

static QComboBox *combo(QWidget &page, const char *name) { return page.findChild<QComboBox *>(name); }
static QGroupBox *second(QWidget &page) { return page.findChild<QGroupBox *>("groupBox_2"); }

// Both signals of the conversion page into one list, so their order shows.
static std::shared_ptr<QStringList> recordSignals(ConvertParamWidget &page)
{
    auto log = std::make_shared<QStringList>();
    QObject::connect(&page, &ConvertParamWidget::Changemode,
                     [log](int m) { log->append(QString("mode(%1)").arg(m)); });
    QObject::connect(&page, &ConvertParamWidget::signalCanMappingEnable,
                     [log](bool b) { log->append(b ? "enable(true)" : "enable(false)"); });
    return log;
}

// Direction, start, length, serial interval, CAN interval, checkBox, checkBox_2.
static const std::pair<const char *, const char *> kConvertFields[] = {
    {"m_comboBoxConvertDirection", "currentIndex"}, {"m_spinBoxStartOffset", "value"},
    {"m_spinBoxCanIdLen", "value"}, {"m_spinBoxTimeInterval", "value"}, {"spinBox_5", "value"},
    {"checkBox", "checked"}, {"checkBox_2", "checked"}};

static void setConvertFields(ConvertParamWidget &page, const QVector<int> &v)
{
    for (int i = 0; i < 7; ++i)
        page.findChild<QWidget *>(kConvertFields[i].first)->setProperty(kConvertFields[i].second, v[i]);
}

static QVector<int> convertFields(ConvertParamWidget &page)
{
    QVector<int> v;
    for (const auto &[name, property] : kConvertFields)
        v << page.findChild<QWidget *>(name)->property(property).toInt();
    return v;
}

// Boxes, position fields, serial interval, CAN interval as 0/1; each pair of boxes and fields must agree.
static QString enabledMask(ConvertParamWidget &page)
{
    QString mask;
    for (const char *name : {"checkBox", "checkBox_2", "m_spinBoxStartOffset", "m_spinBoxCanIdLen",
                             "m_spinBoxTimeInterval", "spinBox_5"})
        mask += page.findChild<QWidget *>(name)->isEnabled() ? '1' : '0';
    const bool agree = mask[0] == mask[1] && mask[2] == mask[3];
    return agree ? mask.mid(1, 2) + mask.mid(4) : "mismatch " + mask;
}

// Mode, direction, serial interval, info flag, identifier flag, identifier length, start, CAN interval.
static QString text(const Protocol::ConversionBlock &b)
{
    return QString("%1 %2 %3 %4 %5 %6 %7 %8").arg(b.mode).arg(b.direction).arg(b.serialInterval)
        .arg(b.forwardInfo).arg(b.forwardId).arg(b.idLength).arg(b.startOffset).arg(b.canInterval);
}

// "mode baud,data bits,stop bits,parity" of both slots; "none" without a mode.
static QString text(const std::optional<Protocol::SerialBlock> &b)
{
    const auto slot = [](const Protocol::SerialPortSlot &s) {
        return QString("%1,%2,%3,%4").arg(s.baudRate).arg(s.dataBits).arg(s.stopBits).arg(s.parity);
    };
    return b ? QString("%1 %2 %3").arg(b->mode).arg(slot(b->first), slot(b->second)) : "none";
}

static const char *const kGroupLists[8] = {
    "m_comboBoxBaudRate_2", "m_comboBoxDataBit_2", "m_comboBoxStopBit_2", "m_comboBoxParity_2",
    "m_comboBoxBaudRate_3", "m_comboBoxDataBit_3", "m_comboBoxStopBit_3", "m_comboBoxParity_3"};

// Both groups as "baud,data bits,stop bits,parity" list indexes, the groups apart by a space.
static void setGroups(SerialParamWidget &page, const QString &indexes)
{
    const QStringList values = indexes.split(QRegularExpression("[ ,]"));
    for (int i = 0; i < 8; ++i)
        combo(page, kGroupLists[i])->setCurrentIndex(values.at(i).toInt());
}

static QString groups(SerialParamWidget &page)
{
    QString text;
    for (int i = 0; i < 8; ++i)
        text += QString::number(combo(page, kGroupLists[i])->currentIndex()) + (i == 3 ? " " : ",");
    return text.chopped(1);
}

// Both group titles, then whether the second group is enabled.
static QString titles(SerialParamWidget &page)
{
    return page.findChild<QGroupBox *>("groupBox")->title() + "|" + second(page)->title()
           + (second(page)->isEnabled() ? "|on" : "|off");
}

class Tst_convertserial : public QObject
{
    Q_OBJECT
private slots:
    // No rule runs while the lists are filled; a page without a reply buffer reads nothing.
    void construction()
    {
        ConvertParamWidget page(nullptr);
        QCOMPARE(enabledMask(page), QString("1111"));
        page.readBlock();
        SerialParamWidget serial(nullptr);
        serial.readBlock();
        QCOMPARE(titles(serial) + " " + groups(serial), QString("RS232||off 0,0,0,0 0,0,0,0"));
    }

    // After the change: enabled mask (boxes, position fields, serial interval, CAN interval), whether
    // the fields kept their values or were reset (direction and CAN interval never are), the signals.
    void modeRules_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("after");
        QTest::newRow("transparent") << 2 << 0 << "1011 kept enable(false)";
        QTest::newRow("transparent with id") << 0 << 1 << "0111 kept enable(false)";
        QTest::newRow("format") << 0 << 2 << "0010 reset mode(4),enable(false)";
        QTest::newRow("modbus convert") << 0 << 3 << "0011 reset mode(4),enable(false)";
        QTest::newRow("modbus slave") << 0 << 4 << "0000 reset mode(4),enable(true)";
        QTest::newRow("no selection keeps boxes") << 4 << -1 << "0011 kept enable(false)";
    }
    void modeRules()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        ConvertParamWidget page(nullptr);
        const auto log = recordSignals(page);
        combo(page, "m_comboBoxConvertModel")->setCurrentIndex(from);
        const QVector<int> before{1, 5, 3, 100, 100, 1, 1};
        setConvertFields(page, before);
        log->clear();
        combo(page, "m_comboBoxConvertModel")->setCurrentIndex(to);
        const QVector<int> fields = convertFields(page), reset{1, 0, 1, 2, 100, 0, 0};
        const QString values = fields == before ? "kept" : fields == reset ? "reset" : "other";
        QTEST(enabledMask(page) + " " + values + " " + log->join(','), "after");
    }

    // Whatever the mode rules reset, the reply's own values win, and the block the page then
    // holds is the reply's. Values the fields cannot hold are clamped; an unknown direction
    // shows nothing and goes out as FF; an unknown mode empties the list and goes out as 1.
    void convertBlock_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<QByteArray>("reply"); // from offset 43
        QTest::addColumn<QString>("after");    // the mode list position, then the signals
        QTest::addColumn<QVector<int>>("fields");
        QTest::addColumn<QString>("block");
        const QByteArray values = "00 0200012C010000000200030000 0A";
        const QVector<int> read{2, 3, 2, 300, 10, 1, 0};
        QTest::newRow("same mode still runs rules")
            << 2 << "03" + values << "2 enable(false),mode(4),enable(false)" << read << "3 2 300 1 0 2 3 10";
        QTest::newRow("modbus slave") << 0 << "05" + values
                                      << "4 enable(false),mode(4),enable(true),enable(true)" << read
                                      << "5 2 300 1 0 2 3 10";
        QTest::newRow("mode 7 empties list")
            << 0 << "07" + values << "-1 enable(false),enable(true)" << read << "0 2 300 1 0 2 3 10";
        QTest::newRow("identifier flag, out of range")
            << 0 << QByteArray("0100 0300 0258 0000 0100 0900 C800 FFFF") << "0 enable(false),enable(false)"
            << QVector<int>{-1, 99, 4, 500, 500, 0, 1} << "1 255 500 0 1 4 99 500";
    }
    void convertBlock()
    {
        QFETCH(int, shown);
        QFETCH(QByteArray, reply);
        QFETCH(QVector<int>, fields);
        QByteArray bytes = QByteArray(43, 0) + QByteArray::fromHex(reply);
        ConvertParamWidget page(&bytes);
        combo(page, "m_comboBoxConvertModel")->setCurrentIndex(shown);
        const auto log = recordSignals(page);
        page.readBlock();
        QTEST(QString::number(page.convertModeIndex()) + " " + log->join(','), "after");
        QCOMPARE(convertFields(page), fields);
        QTEST(text(page.block()), "block");
    }

    void convertJson()
    {
        ConvertParamWidget source(nullptr), loaded(nullptr);
        combo(source, "m_comboBoxConvertModel")->setCurrentIndex(1);
        setConvertFields(source, {2, 40, 3, 250, 7, 0, 1});
        const QJsonObject saved = source.toJson();
        QCOMPARE(saved, (QJsonObject{{"convertDirect", 2}, {"convertMode", 1}, {"forwardInfo", 0},
                                     {"forwartID", 2}, {"interval", 250}, {"intervalCAN", 7}, {"len", 3},
                                     {"posOffset", 40}}));
        loaded.fromJson(saved);
        QCOMPARE(loaded.toJson(), saved);
        QCOMPARE(enabledMask(loaded), QString("0111")); // the loaded mode's rules ran
        // A partly checked box survives a round trip and goes out as set; missing keys read as 0.
        // Other numbers take the nearest state instead of an invalid one.
        loaded.fromJson({{"forwardInfo", 1}, {"forwartID", 7}});
        QCOMPARE(loaded.toJson()["forwardInfo"], QJsonValue(1));
        QCOMPARE(loaded.toJson()["forwartID"], QJsonValue(2));
        QCOMPARE(text(loaded.block()), QString("1 0 0 1 1 1 0 0")); // length 0 clamps to 1
    }

    // What the device reports: start position and length maxima as "maximum/value" from 40
    // (length 4), then whether "MODBUS从站" can be chosen for codes 0..3; the selection never moves.
    void deviceLimits()
    {
        QStringList shown;
        for (auto [offsetLimit, arg] : {std::pair{true, 0}, {true, 1}, {true, 2}, {false, 0}, {false, 1}}) {
            ConvertParamWidget page(nullptr);
            page.setOffsetMaximum(1);
            auto *field = page.findChild<QSpinBox *>(offsetLimit ? "m_spinBoxStartOffset" : "m_spinBoxCanIdLen");
            field->setValue(40);
            offsetLimit ? page.setOffsetMaximum(arg) : page.setIdLengthMaximum(arg);
            shown << QString("%1/%2").arg(field->maximum()).arg(field->value());
        }
        ConvertParamWidget page(nullptr);
        QComboBox *mode = combo(page, "m_comboBoxConvertModel");
        page.setDeviceType(2);
        mode->setCurrentIndex(4);
        for (int code : {0, 1, 2, 3}) {
            page.setDeviceType(code);
            shown << (selectableEntries(mode, {4}) == "1" ? "on" : "off");
        }
        QCOMPARE(shown.join(' '), QString("7/7 63/40 63/40 2/2 4/4 off on off on"));
        QCOMPARE(mode->currentIndex(), 4);
    }

    // The group titles of each mode (chosen after a dual mode) and which group fills which slot
    // (the other slot goes out as zeros); read back into a page showing other values, a
    // single-port mode leaves the second group as it was.
    void serialBlock_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("indexes");
        QTest::addColumn<QString>("block");
        QTest::newRow("RS232 115200 9-E-2") << 0 << "8,1,1,2 5,1,1,1" << "RS232||off 0 115200,9,2,2 0,0,0,0";
        QTest::newRow("RS485 9600 8-N-1") << 1 << "3,0,0,0 5,1,1,1" << "RS485||off 1 0,0,0,0 9600,8,1,0";
        QTest::newRow("RS422 1200 8-O-2") << 2 << "0,0,1,1 5,1,1,1" << "RS422||off 2 0,0,0,0 1200,8,2,1";
        QTest::newRow("RS232+RS485") << 3 << "1,1,0,0 10,0,1,2" << "RS232|RS485|on 3 2400,9,1,0 460800,8,2,2";
        QTest::newRow("RS232+RS422") << 4 << "8,0,0,1 11,1,1,2" << "RS232|RS422|on 4 115200,8,1,1 921600,9,2,2";
    }
    void serialBlock()
    {
        QFETCH(int, mode);
        QFETCH(QString, indexes);
        SerialParamWidget source(nullptr);
        combo(source, "comboBox")->setCurrentIndex(4);
        combo(source, "comboBox")->setCurrentIndex(mode);
        setGroups(source, indexes);
        QTEST(titles(source) + " " + text(source.block()), "block");
        QByteArray frame = QByteArray::fromHex("56AA02");
        source.writeBlock(frame);
        SerialParamWidget page(&frame);
        setGroups(page, "11,1,1,1 2,1,1,1");
        page.readBlock();
        QCOMPARE(combo(page, "comboBox")->currentIndex(), mode);
        QCOMPARE(groups(page), mode >= 3 ? indexes : indexes.section(' ', 0, 0) + " 2,1,1,1");
    }

    // Values no list holds (baud 2^31 + 1200, 7 data bits, 3 stop bits, parity 3) show nothing
    // and go out as zeros, parity as FF. With no mode chosen, only the reserved run is written.
    void serialUnknownValues()
    {
        QByteArray reply = QByteArray::fromHex("56AA02 800004B0 0700 0300 0300 00") + QByteArray(64, 0);
        SerialParamWidget page(&reply);
        page.readBlock();
        QCOMPARE(groups(page).section(' ', 0, 0), QString("-1,-1,-1,-1"));
        QCOMPARE(text(page.block()), QString("0 0,0,0,255 0,0,0,0"));
        combo(page, "comboBox")->setCurrentIndex(-1);
        QByteArray frame(80, '\x11');
        page.writeBlock(frame);
        QCOMPARE(frame.toHex(), QByteArray(138, '1') + QByteArray(16, '0') + QByteArray(6, '1'));
    }

    // A file holds the second port only for dual modes; a single-port file leaves the second group alone.
    void serialJson()
    {
        SerialParamWidget source(nullptr), loaded(nullptr);
        combo(source, "comboBox")->setCurrentIndex(3);
        setGroups(source, "7,1,0,2 9,0,1,1");
        const QJsonObject saved = source.toJson();
        QCOMPARE(saved.keys().join(' '), QString("Baudrate Baudrate_2 SerialMode dataBit dataBit_2 "
                                                 "oddEvenCheck oddEvenCheck_2 stopBit stopBit_2"));
        loaded.fromJson(saved);
        QCOMPARE(loaded.toJson(), saved);
        combo(source, "comboBox")->setCurrentIndex(1);
        setGroups(loaded, "0,0,0,0 2,1,1,2");
        loaded.fromJson(source.toJson());
        QCOMPARE(groups(loaded), QString("7,1,0,2 2,1,1,2"));
        loaded.fromJson({}); // missing keys select the first entries
        QCOMPARE(groups(loaded).section(' ', 0, 0), QString("0,0,0,0"));
    }
};

QTEST_MAIN(Tst_convertserial)
#include "tst_convertserial.moc"
