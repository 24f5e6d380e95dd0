// The conversion and serial pages: their blocks of the main-parameter frame,
// the mode rules and the signals they emit, replies and configuration files.
#include "link/ByteFields.h"
#include "link/LinkLog.h"
#include "pages/ConvertParamWidget.h"
#include "pages/SerialParamWidget.h"

#include <QtTest>
#include <QtWidgets>

static QByteArray header() { return QByteArray::fromHex("56AA02"); }
static QComboBox *combo(QWidget &page, const char *name) { return page.findChild<QComboBox *>(name); }
static QSpinBox *spin(QWidget &page, const char *name) { return page.findChild<QSpinBox *>(name); }
static QGroupBox *second(QWidget &page) { return page.findChild<QGroupBox *>("groupBox_2"); }

static QStringList items(QComboBox *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

// Both signals of the conversion page into one list, so their order shows.
static QStringList *recordSignals(ConvertParamWidget &page)
{
    auto *log = new QStringList;
    QObject::connect(&page, &QObject::destroyed, [log] { delete log; });
    QObject::connect(&page, &ConvertParamWidget::Changemode, [log](int m) { log->append(QString("mode(%1)").arg(m)); });
    QObject::connect(&page, &ConvertParamWidget::signalCanMappingEnable,
                     [log](bool b) { log->append(b ? "enable(true)" : "enable(false)"); });
    return log;
}

// Direction, start, length, serial interval, CAN interval, checkBox, checkBox_2.
static const std::pair<const char *, const char *> kConvertFields[] = {
    {"m_comboBoxConvertDirection", "currentIndex"}, {"m_spinBoxStartOffset", "value"}, {"m_spinBoxCanIdLen", "value"},
    {"m_spinBoxTimeInterval", "value"}, {"spinBox_5", "value"}, {"checkBox", "checked"}, {"checkBox_2", "checked"}};

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
    for (const char *name : {"checkBox", "checkBox_2", "m_spinBoxStartOffset", "m_spinBoxCanIdLen"})
        mask += page.findChild<QWidget *>(name)->isEnabled() ? '1' : '0';
    mask = (mask == "0000" || mask == "0011" || mask == "1100" || mask == "1111") ? mask.mid(1, 2) : "mismatch " + mask;
    return mask + (spin(page, "m_spinBoxTimeInterval")->isEnabled() ? '1' : '0') + (spin(page, "spinBox_5")->isEnabled() ? '1' : '0');
}

static const char *const kGroupLists[2][4] = {
    {"m_comboBoxBaudRate_2", "m_comboBoxDataBit_2", "m_comboBoxStopBit_2", "m_comboBoxParity_2"},
    {"m_comboBoxBaudRate_3", "m_comboBoxDataBit_3", "m_comboBoxStopBit_3", "m_comboBoxParity_3"}};

// A group as "baud,data bits,stop bits,parity" list indexes.
static void setGroup(SerialParamWidget &page, int group, const QString &indexes)
{
    for (int i = 0; i < 4; ++i)
        combo(page, kGroupLists[group][i])->setCurrentIndex(indexes.split(',').at(i).toInt());
}

static QString groupOf(SerialParamWidget &page, int group)
{
    QStringList g;
    for (const char *name : kGroupLists[group])
        g << QString::number(combo(page, name)->currentIndex());
    return g.join(',');
}

// Both group titles, then whether the second group is enabled.
static QString titles(SerialParamWidget &page)
{
    return page.findChild<QGroupBox *>("groupBox")->title() + "|" + second(page)->title() + (second(page)->isEnabled() ? "|on" : "|off");
}

class Tst_convertserial : public QObject
{
    Q_OBJECT
private slots:
    void construction()
    {
        ConvertParamWidget page(nullptr);
        QCOMPARE(items(combo(page, "m_comboBoxConvertModel")) + items(combo(page, "m_comboBoxConvertDirection")),
                 (QStringList{"透明转换", "透明带标识转换", "格式转换", "MODBUS转换", "MODBUS从站", "双向", "仅串口到CAN", "仅CAN到串口"}));
        QCOMPARE(enabledMask(page), QString("1111")); // no rule ran while the lists were filled
        QCOMPARE(convertFields(page), (QVector<int>{0, 0, 1, 0, 0, 0, 0}));
        QCOMPARE(spin(page, "m_spinBoxStartOffset")->maximum(), 99);
        page.readBlock(); // without a reply buffer there is nothing to read
        QCOMPARE(combo(page, "m_comboBoxConvertModel")->currentIndex(), 0);

        SerialParamWidget serial(nullptr);
        QCOMPARE(items(combo(serial, "comboBox")), (QStringList{"RS232", "RS485", "RS422", "RS232+RS485", "RS232+RS422"}));
        QCOMPARE(titles(serial) + " " + groupOf(serial, 0) + " " + groupOf(serial, 1), QString("RS232||off 0,0,0,0 0,0,0,0"));
        const QStringList first = items(combo(serial, kGroupLists[0][0])) + items(combo(serial, kGroupLists[0][3]));
        QCOMPARE(first, (QStringList{"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200", "230400", "460800",
                                     "921600", "无校验", "奇校验", "偶校验"}));
        QCOMPARE(items(combo(serial, kGroupLists[1][0])) + items(combo(serial, kGroupLists[1][3])), first);
    }

    void convertWriteBlock_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QVector<int>>("fields");
        QTest::addColumn<QByteArray>("block"); // offsets 43..58; 3..42 stay zero
        QTest::newRow("transparent with id") << 1 << QVector<int>{2, 3, 2, 300, 10, 0, 0} << QByteArray("02 00 02 00 01 2C 00 00 00 00 02 00 03 00 00 0A");
        QTest::newRow("boxes and maxima") << 0 << QVector<int>{1, 63, 4, 500, 500, 1, 1} << QByteArray("01 00 01 00 01 F4 01 00 01 00 04 00 3F 00 01 F4");
        QTest::newRow("modbus slave") << 4 << QVector<int>{0, 0, 1, 2, 0, 0, 0} << QByteArray("05 00 00 00 00 02 00 00 00 00 01 00 00 00 00 00");
        QTest::newRow("no mode selected") << -1 << QVector<int>{0, 0, 1, 0, 0, 0, 0} << QByteArray("00 00 00 00 00 00 00 00 00 00 01 00 00 00 00 00");
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

    // After the change: enabled mask (boxes, position fields, serial interval, CAN interval), whether the
    // fields kept their values or were reset (direction and CAN interval never are), and the signals.
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
        QStringList *log = recordSignals(page);
        combo(page, "m_comboBoxConvertModel")->setCurrentIndex(from);
        const QVector<int> before{1, 5, 3, 100, 100, 1, 1};
        setConvertFields(page, before);
        log->clear();
        combo(page, "m_comboBoxConvertModel")->setCurrentIndex(to);
        const QVector<int> fields = convertFields(page);
        const QString values = fields == before ? "kept" : fields == QVector<int>{1, 0, 1, 2, 100, 0, 0} ? "reset" : "other";
        QTEST(enabledMask(page) + " " + values + " " + log->join(','), "after");
    }

    void convertReadBlock_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("replyMode");
        QTest::addColumn<QString>("after"); // the mode list position, then the signals
        QTest::newRow("same mode still runs rules") << 2 << 3 << "2 enable(false),mode(4),enable(false)";
        QTest::newRow("modbus slave") << 0 << 5 << "4 enable(false),mode(4),enable(true),enable(true)";
        QTest::newRow("mode 7 empties list") << 0 << 7 << "-1 enable(false),enable(true)";
        QTest::newRow("from no selection") << -1 << 1 << "0 enable(false)";
    }
    void convertReadBlock()
    {
        QFETCH(int, shown);
        QFETCH(int, replyMode);
        const QVector<int> sent{2, 3, 2, 300, 10, 1, 1};
        QByteArray reply = header();
        ConvertParamWidget source(nullptr);
        setConvertFields(source, sent);
        source.writeBlock(reply);
        reply[43] = char(replyMode);
        ConvertParamWidget page(&reply);
        combo(page, "m_comboBoxConvertModel")->setCurrentIndex(shown);
        QStringList *log = recordSignals(page);
        page.readBlock();
        QTEST(QString::number(page.convertModeIndex()) + " " + log->join(','), "after");
        QCOMPARE(convertFields(page), sent); // whatever the mode rules reset, the reply's own values win
    }

    // Values the fields cannot hold are clamped; an unknown direction shows nothing and is written back as FF.
    void convertReadBlockOutOfRange()
    {
        QByteArray reply = QByteArray(43, '\0') + QByteArray::fromHex("01 00 03 00 02 58 00 00 00 00 09 00 C8 00 FF FF");
        ConvertParamWidget page(&reply);
        page.readBlock();
        QCOMPARE(convertFields(page), (QVector<int>{-1, 99, 4, 500, 500, 0, 0}));
        reply[53] = 0;
        page.readBlock();
        QCOMPARE(spin(page, "m_spinBoxCanIdLen")->value(), 1);
        QByteArray frame = header();
        page.writeBlock(frame);
        QCOMPARE(byteAt(frame, 45), quint8(0xFF));
    }

    void convertJson()
    {
        ConvertParamWidget source(nullptr), loaded(nullptr);
        source.setOffsetMaximum(1);
        loaded.setOffsetMaximum(1);
        combo(source, "m_comboBoxConvertModel")->setCurrentIndex(1);
        setConvertFields(source, {2, 40, 3, 250, 7, 0, 1});
        const QJsonObject saved = source.toJson();
        const QJsonObject expected{{"convertDirect", 2}, {"convertMode", 1}, {"forwardInfo", 0}, {"forwartID", 2},
                                   {"interval", 250},    {"intervalCAN", 7}, {"len", 3},         {"posOffset", 40}};
        QCOMPARE(saved, expected);
        loaded.fromJson(saved);
        QCOMPARE(loaded.toJson(), saved);
        QCOMPARE(enabledMask(loaded), QString("0111")); // the loaded mode's rules ran
        // A partly checked box survives a round trip; missing keys read as 0.
        // Other numbers take the nearest state instead of an invalid one.
        loaded.fromJson({{"forwardInfo", 1}, {"forwartID", 7}});
        QCOMPARE(loaded.toJson(), (QJsonObject{{"convertDirect", 0}, {"convertMode", 0}, {"forwardInfo", 1}, {"forwartID", 2},
                                               {"interval", 0}, {"intervalCAN", 0}, {"len", 1}, {"posOffset", 0}}));
        // Loading the mode already shown runs no rules.
        QStringList *log = recordSignals(loaded);
        loaded.fromJson(QJsonObject{{"convertMode", 0}, {"interval", 77}});
        QVERIFY(log->isEmpty());
        QCOMPARE(spin(loaded, "m_spinBoxTimeInterval")->value(), 77);
    }

    // Start position and length maxima as "maximum/value" after each call, from 40 (length 4).
    void limits()
    {
        QStringList shown;
        for (auto [offsetLimit, argument] : {std::pair{true, 0}, {true, 1}, {true, 2}, {false, 0}, {false, 1}}) {
            ConvertParamWidget page(nullptr);
            page.setOffsetMaximum(1);
            QSpinBox *field = spin(page, offsetLimit ? "m_spinBoxStartOffset" : "m_spinBoxCanIdLen");
            field->setValue(40);
            offsetLimit ? page.setOffsetMaximum(argument) : page.setIdLengthMaximum(argument);
            shown << QString("%1/%2").arg(field->maximum()).arg(field->value());
        }
        QCOMPARE(shown, (QStringList{"7/7", "63/40", "63/40", "2/2", "4/4"}));
    }

    // "MODBUS从站" can be chosen unless the code is 0 or 2; the selection never moves.
    void deviceType()
    {
        ConvertParamWidget page(nullptr);
        QComboBox *mode = combo(page, "m_comboBoxConvertModel");
        page.setDeviceType(2);
        mode->setCurrentIndex(4);
        QStringList *log = recordSignals(page);
        QString selectable;
        for (int code : {0, 1, 2, 3}) {
            page.setDeviceType(code);
            for (int item : {3, 4})
                selectable += qobject_cast<QStandardItemModel *>(mode->model())->item(item)->isEnabled() ? '1' : '0';
        }
        QCOMPARE(selectable, QString("10111011"));
        QCOMPARE(mode->currentIndex(), 4);
        QVERIFY(log->isEmpty());
    }

    void serialWriteBlock_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QByteArray>("bytesHex"); // RS232 slot and mode (3..14), then the RS485/RS422 slot (59..68)
        const QString unused = "5,1,1,1";
        QTest::newRow("RS485 9600 8-N-1") << 1 << QString("3,0,0,0") << unused << QByteArray("00000000000000000000 0100 00002580080001000000");
        QTest::newRow("RS232 115200 9-E-2") << 0 << QString("8,1,1,2") << unused << QByteArray("0001C200090002000200 0000 00000000000000000000");
        QTest::newRow("RS232+RS422") << 4 << QString("8,0,0,1") << QString("11,1,1,2") << QByteArray("0001C200080001000100 0400 000E1000090002000200");
        QTest::newRow("no mode selected") << -1 << QString("8,0,0,1") << unused << QByteArray("00000000000000000000 0000 00000000000000000000");
    }
    void serialWriteBlock()
    {
        QFETCH(int, mode);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QByteArray, bytesHex);
        SerialParamWidget page(nullptr);
        combo(page, "comboBox")->setCurrentIndex(mode);
        setGroup(page, 0, first);
        setGroup(page, 1, second);
        const QByteArray bytes = QByteArray::fromHex(bytesHex);
        const QByteArray expected = header() + bytes.left(12) + QByteArray(44, '\0') + bytes.mid(12) + QByteArray(8, '\0');
        // The block is logged; make sure the message arrives even when debug output is filtered.
        auto &category = const_cast<QLoggingCategory &>(lcLink());
        const bool wasEnabled = category.isDebugEnabled();
        category.setEnabled(QtDebugMsg, true);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(hexDump(expected)));
        QByteArray frame = header();
        page.writeBlock(frame);
        category.setEnabled(QtDebugMsg, wasEnabled);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
    }

    // The reply comes from a page that showed 9600 8-1-even and 460800 9-2-none; this one showed
    // 921600 9-2-odd and 19200 9-2-odd. Shown: mode, both groups, titles.
    void serialReadBlock_data()
    {
        QTest::addColumn<int>("sourceMode");
        QTest::addColumn<QVector<int>>("patches"); // offset, value pairs
        QTest::addColumn<QString>("shown");
        QTest::newRow("RS485 reads 59..68") << 1 << QVector<int>{} << "1 3,0,0,2 5,1,1,1 RS485||off";
        QTest::newRow("RS232+RS422 both slots") << 4 << QVector<int>{} << "4 3,0,0,2 10,1,1,0 RS232|RS422|on";
        QTest::newRow("baud 256000") << 0 << QVector<int>{3, 0x00, 4, 0x03, 5, 0xE8, 6, 0x00} << "0 -1,0,0,2 5,1,1,1 RS232||off";
        QTest::newRow("baud 2^31") << 0 << QVector<int>{3, 0x80, 4, 0, 5, 0x04, 6, 0xB0} << "0 -1,0,0,2 5,1,1,1 RS232||off";
        QTest::newRow("parity 3, 7 data bits") << 0 << QVector<int>{11, 3, 7, 7, 9, 3} << "0 3,-1,-1,-1 5,1,1,1 RS232||off";
        QTest::newRow("mode 7 decodes both") << 4 << QVector<int>{13, 7} << "-1 3,0,0,2 10,1,1,0 ||off";
    }
    void serialReadBlock()
    {
        QFETCH(int, sourceMode);
        QFETCH(QVector<int>, patches);
        QByteArray reply = header();
        SerialParamWidget source(nullptr);
        combo(source, "comboBox")->setCurrentIndex(sourceMode);
        setGroup(source, 0, "3,0,0,2");
        setGroup(source, 1, "10,1,1,0");
        source.writeBlock(reply);
        for (int i = 0; i + 1 < patches.size(); i += 2)
            reply[patches[i]] = char(patches[i + 1]);
        SerialParamWidget page(&reply);
        setGroup(page, 0, "11,1,1,1");
        setGroup(page, 1, "5,1,1,1");
        page.readBlock();
        QTEST(QStringList({QString::number(combo(page, "comboBox")->currentIndex()), groupOf(page, 0), groupOf(page, 1), titles(page)}).join(' '),
              "shown");
    }

    // Values no list holds are written back as zeros, parity as FF.
    void serialWriteAfterUnknownValues()
    {
        QByteArray reply = header() + QByteArray::fromHex("00 03 E8 00 07 00 03 00 03 00") + QByteArray(64, '\0');
        SerialParamWidget page(&reply);
        page.readBlock();
        QCOMPARE(groupOf(page, 0), QString("-1,-1,-1,-1"));
        QByteArray frame = header();
        page.writeBlock(frame);
        QCOMPARE(frame.mid(3, 10).toHex(' '), QByteArray("00 00 00 00 00 00 00 00 ff 00"));
    }

    void serialModeTitles()
    {
        SerialParamWidget page(nullptr);
        QStringList shown;
        for (int mode : {0, 1, 2, 3, 4, -1}) {
            combo(page, "comboBox")->setCurrentIndex(4); // leave a dual mode first
            combo(page, "comboBox")->setCurrentIndex(mode);
            shown << titles(page);
        }
        QCOMPARE(shown, (QStringList{"RS232||off", "RS485||off", "RS422||off", "RS232|RS485|on", "RS232|RS422|on", "||off"}));
    }

    void serialJson_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("keys");
        const QStringList single{"Baudrate", "SerialMode", "dataBit", "oddEvenCheck", "stopBit"};
        QTest::newRow("RS485") << 1 << single;
        QTest::newRow("RS232+RS485") << 3 << QStringList{"Baudrate", "Baudrate_2", "SerialMode", "dataBit", "dataBit_2", "oddEvenCheck",
                                                         "oddEvenCheck_2", "stopBit", "stopBit_2"};
    }
    void serialJson()
    {
        QFETCH(int, mode);
        SerialParamWidget source(nullptr), loaded(nullptr);
        combo(source, "comboBox")->setCurrentIndex(mode);
        setGroup(source, 0, "7,1,0,2");
        setGroup(source, 1, "9,0,1,1");
        const QJsonObject saved = source.toJson();
        QTEST(saved.keys(), "keys");
        setGroup(loaded, 1, "2,1,1,2");
        loaded.fromJson(saved);
        QCOMPARE(loaded.toJson(), saved);
        QCOMPARE(groupOf(loaded, 0), QString("7,1,0,2"));
        // A single-port file does not touch the second group.
        QCOMPARE(groupOf(loaded, 1), QString(mode >= 3 ? "9,0,1,1" : "2,1,1,2"));
        QCOMPARE(second(loaded)->isEnabled(), mode >= 3);
        loaded.fromJson({}); // missing keys select the first entries
        QCOMPARE(combo(loaded, "comboBox")->currentIndex(), 0);
        QCOMPARE(groupOf(loaded, 0), QString("0,0,0,0"));
    }
};

QTEST_MAIN(Tst_convertserial)
#include "tst_convertserial.moc"
