// The conversion and serial pages: their blocks of the main-parameter frame,
// the mode rules and the signals they emit, replies and configuration files.
#include "pages/ConvertParamWidget.h"
#include "pages/SerialParamWidget.h"
#include "protocol/ByteFields.h"

#include "TableState.h"

#include <QtTest>
#include <QtWidgets>

static QByteArray header() { return QByteArray::fromHex("56AA02"); }
static QComboBox *combo(QWidget &page, const char *name) { return page.findChild<QComboBox *>(name); }
static QSpinBox *spin(QWidget &page, const char *name) { return page.findChild<QSpinBox *>(name); }
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

    void convertWriteBlock_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QVector<int>>("fields");
        QTest::addColumn<QByteArray>("block"); // offsets 43..58; 3..42 stay zero
        QTest::newRow("transparent with id") << 1 << QVector<int>{2, 3, 2, 300, 10, 0, 0}
                                             << QByteArray("02 00 02 00 01 2C 00 00 00 00 02 00 03 00 00 0A");
        QTest::newRow("boxes and maxima") << 0 << QVector<int>{1, 63, 4, 500, 500, 1, 1}
                                          << QByteArray("01 00 01 00 01 F4 01 00 01 00 04 00 3F 00 01 F4");
        QTest::newRow("modbus slave") << 4 << QVector<int>{0, 0, 1, 2, 0, 0, 0}
                                      << QByteArray("05 00 00 00 00 02 00 00 00 00 01 00 00 00 00 00");
    }
    void convertWriteBlock()
    {
        QFETCH(int, mode);
        QFETCH(QVector<int>, fields);
        QFETCH(QByteArray, block);
        ConvertParamWidget page(nullptr);
        combo(page, "m_comboBoxConvertModel")->setCurrentIndex(mode);
        setConvertFields(page, fields);
        QByteArray frame = header();
        page.writeBlock(frame);
        QCOMPARE(frame.toHex(' '), (header() + QByteArray(40, '\0') + QByteArray::fromHex(block)).toHex(' '));
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

    // Whatever the mode rules reset, the reply's own values win. Values the fields cannot
    // hold are clamped; an unknown direction shows nothing and is written back as FF.
    void convertReadBlock_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<QByteArray>("reply"); // from offset 43
        QTest::addColumn<QString>("after");    // the mode list position, then the signals
        QTest::addColumn<QVector<int>>("fields");
        const QByteArray values = "00 0200012C010001000200030000 0A";
        const QVector<int> read{2, 3, 2, 300, 10, 1, 1};
        QTest::newRow("same mode still runs rules")
            << 2 << "03" + values << "2 enable(false),mode(4),enable(false)" << read;
        QTest::newRow("modbus slave")
            << 0 << "05" + values << "4 enable(false),mode(4),enable(true),enable(true)" << read;
        QTest::newRow("mode 7 empties list") << 0 << "07" + values << "-1 enable(false),enable(true)" << read;
        QTest::newRow("out of range")
            << 0 << QByteArray("0100 0300 0258 0000 0000 0900 C800 FFFF") << "0 enable(false),enable(false)"
            << QVector<int>{-1, 99, 4, 500, 500, 0, 0};
    }
    void convertReadBlock()
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
        QByteArray frame = header();
        page.writeBlock(frame);
        QCOMPARE(byteAt(frame, 45), quint8(fields.first() < 0 ? 0xFF : fields.first()));
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
        // A partly checked box survives a round trip; missing keys read as 0.
        // Other numbers take the nearest state instead of an invalid one.
        loaded.fromJson({{"forwardInfo", 1}, {"forwartID", 7}});
        QCOMPARE(loaded.toJson()["forwardInfo"], QJsonValue(1));
        QCOMPARE(loaded.toJson()["forwartID"], QJsonValue(2));
    }

    // What the device reports: start position and length maxima as "maximum/value" from 40
    // (length 4), then whether "MODBUS从站" can be chosen for codes 0..3; the selection never moves.
    void deviceLimits()
    {
        QStringList shown;
        for (auto [offsetLimit, arg] : {std::pair{true, 0}, {true, 1}, {true, 2}, {false, 0}, {false, 1}}) {
            ConvertParamWidget page(nullptr);
            page.setOffsetMaximum(1);
            QSpinBox *field = spin(page, offsetLimit ? "m_spinBoxStartOffset" : "m_spinBoxCanIdLen");
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

    // The RS232 slot and mode (3..14), the RS485/RS422 slot (59..68); read back into a page
    // showing other values, a single-port mode leaves the second group as it was.
    void serialBlock_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("indexes");
        QTest::addColumn<QByteArray>("bytesHex");
        QTest::newRow("RS485 9600 8-N-1")
            << 1 << "3,0,0,0 5,1,1,1" << QByteArray("00000000000000000000 0100 00002580080001000000");
        QTest::newRow("RS232 115200 9-E-2")
            << 0 << "8,1,1,2 5,1,1,1" << QByteArray("0001C200090002000200 0000 00000000000000000000");
        QTest::newRow("RS232+RS422")
            << 4 << "8,0,0,1 11,1,1,2" << QByteArray("0001C200080001000100 0400 000E1000090002000200");
    }
    void serialBlock()
    {
        QFETCH(int, mode);
        QFETCH(QString, indexes);
        QFETCH(QByteArray, bytesHex);
        SerialParamWidget source(nullptr);
        combo(source, "comboBox")->setCurrentIndex(mode);
        setGroups(source, indexes);
        QByteArray expected = QByteArray::fromHex(bytesHex);
        expected.insert(12, QByteArray(44, 0)).prepend(header()).append(QByteArray(8, 0));
        QByteArray frame = header();
        source.writeBlock(frame);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
        SerialParamWidget page(&frame);
        setGroups(page, "11,1,1,1 2,1,1,1");
        page.readBlock();
        QCOMPARE(combo(page, "comboBox")->currentIndex(), mode);
        QCOMPARE(groups(page), mode >= 3 ? indexes : indexes.section(' ', 0, 0) + " 2,1,1,1");
    }

    // Values no list holds (baud 2^31 + 1200, 7 data bits, 3 stop bits, parity 3) show
    // nothing and are written back as zeros, parity as FF.
    void serialUnknownValues()
    {
        QByteArray reply = header() + QByteArray::fromHex("800004B0 0700 0300 0300 00") + QByteArray(64, 0);
        SerialParamWidget page(&reply);
        page.readBlock();
        QCOMPARE(groups(page).section(' ', 0, 0), QString("-1,-1,-1,-1"));
        QByteArray frame = header();
        page.writeBlock(frame);
        QCOMPARE(frame.mid(3, 10).toHex(' '), QByteArray("00 00 00 00 00 00 00 00 ff 00"));
    }

    void serialModeTitles()
    {
        SerialParamWidget page(nullptr);
        QStringList shown;
        for (int mode : {0, 1, 2, 3, 4}) {
            combo(page, "comboBox")->setCurrentIndex(4); // leave a dual mode first
            combo(page, "comboBox")->setCurrentIndex(mode);
            shown << titles(page);
        }
        QCOMPARE(shown.join(' '), QString("RS232||off RS485||off RS422||off RS232|RS485|on RS232|RS422|on"));
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
