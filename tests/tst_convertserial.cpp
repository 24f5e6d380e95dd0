// The conversion and serial pages: their blocks of the main-parameter frame,
// the mode rules and the signals they emit, replies and configuration files.
#include "link/ByteFields.h"
#include "link/LinkLog.h"
#include "pages/ConvertParamWidget.h"
#include "pages/SerialParamWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QtTest>

using Group = QVector<int>; // baud, data bits, stop bits, parity list indexes

namespace {

QByteArray header() { return QByteArray::fromHex("56AA02"); }

template <typename T> T *child(QWidget &page, const char *name)
{
    T *w = page.findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("missing child %s", name);
    return w;
}

QComboBox *combo(QWidget &page, const char *name) { return child<QComboBox>(page, name); }
QSpinBox *spin(QWidget &page, const char *name) { return child<QSpinBox>(page, name); }
QCheckBox *box(QWidget &page, const char *name) { return child<QCheckBox>(page, name); }

// Both signals of the conversion page into one list, so their order shows.
QStringList *recordSignals(ConvertParamWidget &page)
{
    auto *log = new QStringList;
    QObject::connect(&page, &QObject::destroyed, [log] { delete log; });
    QObject::connect(&page, &ConvertParamWidget::Changemode, [log](int m) { log->append(QString("mode(%1)").arg(m)); });
    QObject::connect(&page, &ConvertParamWidget::signalCanMappingEnable,
                     [log](bool b) { log->append(b ? "enable(true)" : "enable(false)"); });
    return log;
}

// Fields in the order of the check in convertFields: direction, start, length,
// serial interval, CAN interval, checkBox, checkBox_2.
void setConvertFields(ConvertParamWidget &page, const QVector<int> &v)
{
    combo(page, "m_comboBoxConvertDirection")->setCurrentIndex(v[0]);
    spin(page, "m_spinBoxStartOffset")->setValue(v[1]);
    spin(page, "m_spinBoxCanIdLen")->setValue(v[2]);
    spin(page, "m_spinBoxTimeInterval")->setValue(v[3]);
    spin(page, "spinBox_5")->setValue(v[4]);
    box(page, "checkBox")->setChecked(v[5]);
    box(page, "checkBox_2")->setChecked(v[6]);
}

QVector<int> convertFields(ConvertParamWidget &page)
{
    return {combo(page, "m_comboBoxConvertDirection")->currentIndex(), spin(page, "m_spinBoxStartOffset")->value(),
            spin(page, "m_spinBoxCanIdLen")->value(), spin(page, "m_spinBoxTimeInterval")->value(),
            spin(page, "spinBox_5")->value(), box(page, "checkBox")->isChecked(), box(page, "checkBox_2")->isChecked()};
}

// "boxes position-fields serial-interval CAN-interval" as 0/1 characters.
QString enabledMask(ConvertParamWidget &page)
{
    QString mask;
    for (QWidget *w : {static_cast<QWidget *>(box(page, "checkBox")), static_cast<QWidget *>(spin(page, "m_spinBoxStartOffset")),
                       static_cast<QWidget *>(spin(page, "m_spinBoxTimeInterval")), static_cast<QWidget *>(spin(page, "spinBox_5"))})
        mask += w->isEnabled() ? '1' : '0';
    return mask;
}

const char *const kGroupLists[2][4] = {
    {"m_comboBoxBaudRate_2", "m_comboBoxDataBit_2", "m_comboBoxStopBit_2", "m_comboBoxParity_2"},
    {"m_comboBoxBaudRate_3", "m_comboBoxDataBit_3", "m_comboBoxStopBit_3", "m_comboBoxParity_3"}};

void setGroup(SerialParamWidget &page, int group, const Group &g)
{
    for (int i = 0; i < 4; ++i)
        combo(page, kGroupLists[group][i])->setCurrentIndex(g[i]);
}

Group groupOf(SerialParamWidget &page, int group)
{
    Group g;
    for (int i = 0; i < 4; ++i)
        g << combo(page, kGroupLists[group][i])->currentIndex();
    return g;
}

QStringList titles(SerialParamWidget &page)
{
    return {child<QGroupBox>(page, "groupBox")->title(), child<QGroupBox>(page, "groupBox_2")->title()};
}

} // namespace

class Tst_convertserial : public QObject
{
    Q_OBJECT
private slots:
    void convertConstruction();
    void convertWriteBlock_data();
    void convertWriteBlock();
    void modeRules_data();
    void modeRules();
    void convertReadBlock_data();
    void convertReadBlock();
    void convertReadBlockClamps_data();
    void convertReadBlockClamps();
    void convertUnknownDirection();
    void convertJson();
    void convertJsonSameModeRunsNoRules();
    void limits_data();
    void limits();
    void deviceType_data();
    void deviceType();

    void serialConstruction();
    void serialWriteBlock_data();
    void serialWriteBlock();
    void serialReadBlock_data();
    void serialReadBlock();
    void serialWriteAfterUnknownValues();
    void serialModeTitles_data();
    void serialModeTitles();
    void serialJson_data();
    void serialJson();
};

void Tst_convertserial::convertConstruction()
{
    ConvertParamWidget page(nullptr);
    QComboBox *mode = combo(page, "m_comboBoxConvertModel");
    QCOMPARE(mode->count(), 5);
    QCOMPARE(mode->itemText(0), QString("透明转换"));
    QCOMPARE(mode->itemText(4), QString("MODBUS从站"));
    QCOMPARE(combo(page, "m_comboBoxConvertDirection")->itemText(2), QString("仅CAN到串口"));
    QCOMPARE(mode->currentIndex(), 0);
    // No rule ran while the lists were filled: everything is still enabled.
    QCOMPARE(enabledMask(page), QString("1111"));
    QVERIFY(spin(page, "m_spinBoxCanIdLen")->isEnabled());
    QCOMPARE(convertFields(page), (QVector<int>{0, 0, 1, 0, 0, 0, 0}));
    QCOMPARE(spin(page, "m_spinBoxStartOffset")->maximum(), 99);
    page.readBlock(); // without a reply buffer there is nothing to read
    QCOMPARE(mode->currentIndex(), 0);
}

void Tst_convertserial::convertWriteBlock_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QVector<int>>("fields");
    QTest::addColumn<QByteArray>("block");
    QTest::newRow("transparent with id") << 1 << QVector<int>{2, 3, 2, 300, 10, 0, 0}
                                         << QByteArray::fromHex("02 00 02 00 01 2C 00 00 00 00 02 00 03 00 00 0A");
    QTest::newRow("boxes and maxima") << 0 << QVector<int>{1, 63, 4, 500, 500, 1, 1}
                                      << QByteArray::fromHex("01 00 01 00 01 F4 01 00 01 00 04 00 3F 00 01 F4");
    QTest::newRow("modbus slave") << 4 << QVector<int>{0, 0, 1, 2, 0, 0, 0}
                                  << QByteArray::fromHex("05 00 00 00 00 02 00 00 00 00 01 00 00 00 00 00");
    QTest::newRow("no mode selected") << -1 << QVector<int>{0, 0, 1, 0, 0, 0, 0}
                                      << QByteArray::fromHex("00 00 00 00 00 00 00 00 00 00 01 00 00 00 00 00");
}

void Tst_convertserial::convertWriteBlock()
{
    QFETCH(int, mode);
    QFETCH(QVector<int>, fields);
    QFETCH(QByteArray, block);
    ConvertParamWidget page(nullptr);
    combo(page, "m_comboBoxConvertModel")->setCurrentIndex(mode);
    setConvertFields(page, fields);
    QByteArray frame = header();
    page.writeBlock(frame);
    QCOMPARE(frame.size(), 59);
    QCOMPARE(frame.mid(3, 40), QByteArray(40, '\0'));
    QCOMPARE(frame.mid(43).toHex(' '), block.toHex(' '));
}

void Tst_convertserial::modeRules_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QStringList>("emitted");
    const QStringList fixedFalse{"mode(4)", "enable(false)"};
    QTest::newRow("transparent") << 2 << 0 << "1011" << false << QStringList{"enable(false)"};
    QTest::newRow("transparent with id") << 0 << 1 << "0111" << false << QStringList{"enable(false)"};
    QTest::newRow("format") << 0 << 2 << "0010" << true << fixedFalse;
    QTest::newRow("modbus convert") << 0 << 3 << "0011" << true << fixedFalse;
    QTest::newRow("modbus slave") << 0 << 4 << "0000" << true << QStringList{"mode(4)", "enable(true)"};
    QTest::newRow("no selection keeps boxes") << 4 << -1 << "0011" << false << QStringList{"enable(false)"};
}

void Tst_convertserial::modeRules()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, enabled);
    QFETCH(bool, reset);
    QFETCH(QStringList, emitted);
    ConvertParamWidget page(nullptr);
    QStringList *log = recordSignals(page);
    combo(page, "m_comboBoxConvertModel")->setCurrentIndex(from);
    const QVector<int> before{1, 5, 3, 100, 100, 1, 1};
    setConvertFields(page, before);
    log->clear();

    combo(page, "m_comboBoxConvertModel")->setCurrentIndex(to);
    QCOMPARE(*log, emitted);
    QCOMPARE(enabledMask(page), enabled);
    QCOMPARE(spin(page, "m_spinBoxCanIdLen")->isEnabled(), spin(page, "m_spinBoxStartOffset")->isEnabled());
    QCOMPARE(box(page, "checkBox_2")->isEnabled(), box(page, "checkBox")->isEnabled());
    // Direction and CAN interval are never reset.
    const QVector<int> afterReset{1, 0, 1, 2, 100, 0, 0};
    QCOMPARE(convertFields(page), reset ? afterReset : before);
}

void Tst_convertserial::convertReadBlock_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("replyMode");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("emitted");
    QTest::newRow("same mode still runs rules")
        << 2 << 3 << 2 << QStringList{"enable(false)", "mode(4)", "enable(false)"};
    QTest::newRow("modbus slave") << 0 << 5 << 4 << QStringList{"enable(false)", "mode(4)", "enable(true)", "enable(true)"};
    QTest::newRow("mode 7 empties list") << 0 << 7 << -1 << QStringList{"enable(false)", "enable(true)"};
    QTest::newRow("mode 0 empties list") << 1 << 0 << -1 << QStringList{"enable(false)"};
    QTest::newRow("from no selection") << -1 << 1 << 0 << QStringList{"enable(false)"};
}

void Tst_convertserial::convertReadBlock()
{
    QFETCH(int, shown);
    QFETCH(int, replyMode);
    QFETCH(int, index);
    QFETCH(QStringList, emitted);
    const QVector<int> sent{2, 3, 2, 300, 10, 1, 1};
    QByteArray reply = header();
    {
        ConvertParamWidget source(nullptr);
        setConvertFields(source, sent);
        source.writeBlock(reply);
    }
    reply[43] = char(replyMode);

    ConvertParamWidget page(&reply);
    combo(page, "m_comboBoxConvertModel")->setCurrentIndex(shown);
    QStringList *log = recordSignals(page);
    page.readBlock();
    QCOMPARE(page.convertModeIndex(), index);
    QCOMPARE(*log, emitted);
    // Whatever the mode rules reset, the reply's own values win.
    QCOMPARE(convertFields(page), sent);
}

void Tst_convertserial::convertReadBlockClamps_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("shown");
    QTest::newRow("serial interval 600") << 47 << QByteArray::fromHex("0258") << "m_spinBoxTimeInterval" << 500;
    QTest::newRow("CAN interval 65535") << 57 << QByteArray::fromHex("FFFF") << "spinBox_5" << 500;
    QTest::newRow("length 0") << 53 << QByteArray::fromHex("00") << "m_spinBoxCanIdLen" << 1;
    QTest::newRow("length 9") << 53 << QByteArray::fromHex("09") << "m_spinBoxCanIdLen" << 4;
    QTest::newRow("start 200") << 55 << QByteArray::fromHex("C8") << "m_spinBoxStartOffset" << 99;
}

void Tst_convertserial::convertReadBlockClamps()
{
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, field);
    QFETCH(int, shown);
    QByteArray reply(59, '\0');
    reply[43] = 1;
    reply.replace(offset, bytes.size(), bytes);
    ConvertParamWidget page(&reply);
    page.readBlock();
    QCOMPARE(spin(page, field.toLatin1().constData())->value(), shown);
}

void Tst_convertserial::convertUnknownDirection()
{
    QByteArray reply(59, '\0');
    reply[43] = 1;
    reply[45] = 3;
    ConvertParamWidget page(&reply);
    page.readBlock();
    QCOMPARE(combo(page, "m_comboBoxConvertDirection")->currentIndex(), -1);
    QByteArray frame = header();
    page.writeBlock(frame);
    QCOMPARE(byteAt(frame, 45), quint8(0xFF));
}

void Tst_convertserial::convertJson()
{
    ConvertParamWidget source(nullptr);
    source.setOffsetMaximum(1);
    combo(source, "m_comboBoxConvertModel")->setCurrentIndex(1);
    setConvertFields(source, {2, 40, 3, 250, 7, 0, 1});
    const QJsonObject saved = source.toJson();
    QCOMPARE(saved.keys(), (QStringList{"convertDirect", "convertMode", "forwardInfo", "forwartID", "interval",
                                        "intervalCAN", "len", "posOffset"}));
    QCOMPARE(saved.value("forwartID").toInt(), 2);
    QCOMPARE(saved.value("convertMode").toInt(), 1);

    ConvertParamWidget loaded(nullptr);
    loaded.setOffsetMaximum(1);
    loaded.fromJson(saved);
    QCOMPARE(loaded.toJson(), saved);
    QCOMPARE(enabledMask(loaded), QString("0111")); // the loaded mode's rules ran

    // A partly checked box survives a round trip; missing keys read as 0.
    // Other numbers take the nearest state instead of an invalid one.
    loaded.fromJson({{"forwardInfo", 1}, {"forwartID", 7}});
    QCOMPARE(box(loaded, "checkBox")->checkState(), Qt::PartiallyChecked);
    QCOMPARE(box(loaded, "checkBox_2")->checkState(), Qt::Checked);
    QCOMPARE(loaded.toJson().value("len").toInt(), 1);
    QCOMPARE(loaded.toJson().value("interval").toInt(), 0);
}

void Tst_convertserial::convertJsonSameModeRunsNoRules()
{
    ConvertParamWidget page(nullptr);
    combo(page, "m_comboBoxConvertModel")->setCurrentIndex(2);
    QStringList *log = recordSignals(page);
    QJsonObject saved = page.toJson();
    saved["interval"] = 77;
    page.fromJson(saved);
    QVERIFY(log->isEmpty());
    QCOMPARE(spin(page, "m_spinBoxTimeInterval")->value(), 77);
}

void Tst_convertserial::limits_data()
{
    QTest::addColumn<bool>("offsetLimit");
    QTest::addColumn<int>("argument");
    QTest::addColumn<int>("maximum");
    QTest::newRow("offset CAN") << true << 0 << 7;
    QTest::newRow("offset CAN FD") << true << 1 << 63;
    QTest::newRow("offset CAN FD, other code") << true << 2 << 63;
    QTest::newRow("length standard") << false << 0 << 2;
    QTest::newRow("length extended") << false << 1 << 4;
}

void Tst_convertserial::limits()
{
    QFETCH(bool, offsetLimit);
    QFETCH(int, argument);
    QFETCH(int, maximum);
    ConvertParamWidget page(nullptr);
    page.setOffsetMaximum(1);
    QSpinBox *field = spin(page, offsetLimit ? "m_spinBoxStartOffset" : "m_spinBoxCanIdLen");
    field->setValue(40);
    offsetLimit ? page.setOffsetMaximum(argument) : page.setIdLengthMaximum(argument);
    QCOMPARE(field->maximum(), maximum);
    QCOMPARE(field->value(), qMin(offsetLimit ? 40 : 4, maximum));
}

void Tst_convertserial::deviceType_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("slaveSelectable");
    QTest::newRow("0") << 0 << false;
    QTest::newRow("1") << 1 << true;
    QTest::newRow("2") << 2 << false;
    QTest::newRow("3") << 3 << true;
}

void Tst_convertserial::deviceType()
{
    QFETCH(int, code);
    QFETCH(bool, slaveSelectable);
    ConvertParamWidget page(nullptr);
    QComboBox *mode = combo(page, "m_comboBoxConvertModel");
    auto *model = qobject_cast<QStandardItemModel *>(mode->model());
    QVERIFY(model);
    page.setDeviceType(2);
    mode->setCurrentIndex(4);
    QStringList *log = recordSignals(page);
    page.setDeviceType(code);
    QCOMPARE(model->item(4)->isEnabled(), slaveSelectable);
    QVERIFY(model->item(3)->isEnabled());
    QCOMPARE(mode->currentIndex(), 4);
    QVERIFY(log->isEmpty());
}

void Tst_convertserial::serialConstruction()
{
    SerialParamWidget page(nullptr);
    QComboBox *mode = combo(page, "comboBox");
    QCOMPARE(mode->count(), 5);
    QCOMPARE(mode->itemText(4), QString("RS232+RS422"));
    QCOMPARE(mode->currentIndex(), 0);
    QCOMPARE(titles(page), (QStringList{"RS232", ""}));
    QVERIFY(!child<QGroupBox>(page, "groupBox_2")->isEnabled());
    for (int group = 0; group < 2; ++group) {
        QCOMPARE(groupOf(page, group), (Group{0, 0, 0, 0}));
        QComboBox *baud = combo(page, kGroupLists[group][0]);
        QCOMPARE(baud->count(), 12);
        QCOMPARE(baud->itemText(4), QString("14400"));
        QCOMPARE(baud->itemText(11), QString("921600"));
        QCOMPARE(combo(page, kGroupLists[group][3])->itemText(2), QString("偶校验"));
    }
}

void Tst_convertserial::serialWriteBlock_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<Group>("first");
    QTest::addColumn<Group>("second");
    QTest::addColumn<QByteArray>("rs232Slot");
    QTest::addColumn<QByteArray>("modeBytes");
    QTest::addColumn<QByteArray>("rs485Slot");
    const QByteArray none(10, '\0');
    QTest::newRow("RS485 9600 8-N-1") << 1 << Group{3, 0, 0, 0} << Group{5, 1, 1, 1} << none
                                      << QByteArray::fromHex("0100") << QByteArray::fromHex("00 00 25 80 08 00 01 00 00 00");
    QTest::newRow("RS232 115200 9-E-2") << 0 << Group{8, 1, 1, 2} << Group{5, 1, 1, 1}
                                        << QByteArray::fromHex("00 01 C2 00 09 00 02 00 02 00")
                                        << QByteArray::fromHex("0000") << none;
    QTest::newRow("RS422 1200 8-O-1") << 2 << Group{0, 0, 0, 1} << Group{5, 1, 1, 1} << none
                                      << QByteArray::fromHex("0200") << QByteArray::fromHex("00 00 04 B0 08 00 01 00 01 00");
    QTest::newRow("RS232+RS485") << 3 << Group{8, 0, 0, 1} << Group{5, 1, 1, 2}
                                 << QByteArray::fromHex("00 01 C2 00 08 00 01 00 01 00") << QByteArray::fromHex("0300")
                                 << QByteArray::fromHex("00 00 4B 00 09 00 02 00 02 00");
    QTest::newRow("RS232+RS422") << 4 << Group{8, 0, 0, 1} << Group{11, 1, 1, 2}
                                 << QByteArray::fromHex("00 01 C2 00 08 00 01 00 01 00") << QByteArray::fromHex("0400")
                                 << QByteArray::fromHex("00 0E 10 00 09 00 02 00 02 00");
    QTest::newRow("no mode selected") << -1 << Group{8, 0, 0, 1} << Group{5, 1, 1, 1} << none
                                      << QByteArray::fromHex("0000") << none;
}

void Tst_convertserial::serialWriteBlock()
{
    QFETCH(int, mode);
    QFETCH(Group, first);
    QFETCH(Group, second);
    QFETCH(QByteArray, rs232Slot);
    QFETCH(QByteArray, modeBytes);
    QFETCH(QByteArray, rs485Slot);
    SerialParamWidget page(nullptr);
    combo(page, "comboBox")->setCurrentIndex(mode);
    setGroup(page, 0, first);
    setGroup(page, 1, second);
    QByteArray frame = header();
    // The block is logged; make sure the message arrives even when debug output is filtered.
    auto &category = const_cast<QLoggingCategory &>(lcLink());
    const bool wasEnabled = category.isDebugEnabled();
    category.setEnabled(QtDebugMsg, true);
    QByteArray expected = header() + rs232Slot + modeBytes + QByteArray(44, '\0') + rs485Slot + QByteArray(8, '\0');
    QTest::ignoreMessage(QtDebugMsg, qPrintable(hexDump(expected)));
    page.writeBlock(frame);
    category.setEnabled(QtDebugMsg, wasEnabled);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void Tst_convertserial::serialReadBlock_data()
{
    QTest::addColumn<int>("sourceMode");
    QTest::addColumn<QVector<int>>("patches"); // offset, value pairs
    QTest::addColumn<int>("mode");
    QTest::addColumn<Group>("first");
    QTest::addColumn<Group>("second");
    QTest::addColumn<QStringList>("shownTitles");
    const Group kept{5, 1, 1, 1}; // what the page showed before the reply
    QTest::newRow("RS485 reads 59..68") << 1 << QVector<int>{} << 1 << Group{3, 0, 0, 2} << kept
                                        << QStringList{"RS485", ""};
    QTest::newRow("RS232+RS422 both slots") << 4 << QVector<int>{} << 4 << Group{3, 0, 0, 2} << Group{10, 1, 1, 0}
                                            << QStringList{"RS232", "RS422"};
    QTest::newRow("baud 256000") << 0 << QVector<int>{3, 0x00, 4, 0x03, 5, 0xE8, 6, 0x00} << 0 << Group{-1, 0, 0, 2}
                                 << kept << QStringList{"RS232", ""};
    QTest::newRow("baud 2^31") << 0 << QVector<int>{3, 0x80, 4, 0, 5, 0x04, 6, 0xB0} << 0 << Group{-1, 0, 0, 2} << kept
                               << QStringList{"RS232", ""};
    QTest::newRow("parity 3, 7 data bits") << 0 << QVector<int>{11, 3, 7, 7, 9, 3} << 0 << Group{3, -1, -1, -1} << kept
                                           << QStringList{"RS232", ""};
    QTest::newRow("mode 7 decodes both") << 4 << QVector<int>{13, 7} << -1 << Group{3, 0, 0, 2} << Group{10, 1, 1, 0}
                                         << QStringList{"", ""};
}

void Tst_convertserial::serialReadBlock()
{
    QFETCH(int, sourceMode);
    QFETCH(QVector<int>, patches);
    QFETCH(int, mode);
    QFETCH(Group, first);
    QFETCH(Group, second);
    QFETCH(QStringList, shownTitles);
    QByteArray reply = header();
    {
        SerialParamWidget source(nullptr);
        combo(source, "comboBox")->setCurrentIndex(sourceMode);
        setGroup(source, 0, {3, 0, 0, 2});
        setGroup(source, 1, {10, 1, 1, 0});
        source.writeBlock(reply);
    }
    for (int i = 0; i + 1 < patches.size(); i += 2)
        reply[patches[i]] = char(patches[i + 1]);

    SerialParamWidget page(&reply);
    setGroup(page, 0, {11, 1, 1, 1});
    setGroup(page, 1, {5, 1, 1, 1});
    page.readBlock();
    QCOMPARE(combo(page, "comboBox")->currentIndex(), mode);
    QCOMPARE(groupOf(page, 0), first);
    QCOMPARE(groupOf(page, 1), second);
    QCOMPARE(titles(page), shownTitles);
    QCOMPARE(child<QGroupBox>(page, "groupBox_2")->isEnabled(), mode >= 3);
}

void Tst_convertserial::serialWriteAfterUnknownValues()
{
    QByteArray reply(77, '\0');
    reply.replace(3, 10, QByteArray::fromHex("00 03 E8 00 07 00 03 00 03 00")); // 256000, 7 bits, 3 stop, parity 3
    SerialParamWidget page(&reply);
    page.readBlock();
    QCOMPARE(groupOf(page, 0), (Group{-1, -1, -1, -1}));
    QByteArray frame = header();
    page.writeBlock(frame);
    QCOMPARE(frame.mid(3, 10).toHex(' '), QByteArray::fromHex("00 00 00 00 00 00 00 00 FF 00").toHex(' '));
}

void Tst_convertserial::serialModeTitles_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("shownTitles");
    QTest::newRow("RS232") << 0 << QStringList{"RS232", ""};
    QTest::newRow("RS485") << 1 << QStringList{"RS485", ""};
    QTest::newRow("RS422") << 2 << QStringList{"RS422", ""};
    QTest::newRow("RS232+RS485") << 3 << QStringList{"RS232", "RS485"};
    QTest::newRow("RS232+RS422") << 4 << QStringList{"RS232", "RS422"};
    QTest::newRow("none") << -1 << QStringList{"", ""};
}

void Tst_convertserial::serialModeTitles()
{
    QFETCH(int, mode);
    QFETCH(QStringList, shownTitles);
    SerialParamWidget page(nullptr);
    combo(page, "comboBox")->setCurrentIndex(4); // leave a dual mode first
    combo(page, "comboBox")->setCurrentIndex(mode);
    QCOMPARE(titles(page), shownTitles);
    QCOMPARE(child<QGroupBox>(page, "groupBox_2")->isEnabled(), mode >= 3);
}

void Tst_convertserial::serialJson_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("keys");
    const QStringList single{"Baudrate", "SerialMode", "dataBit", "oddEvenCheck", "stopBit"};
    const QStringList dual = QStringList{"Baudrate", "Baudrate_2", "SerialMode", "dataBit", "dataBit_2",
                                         "oddEvenCheck", "oddEvenCheck_2", "stopBit", "stopBit_2"};
    QTest::newRow("RS485") << 1 << single;
    QTest::newRow("RS232+RS485") << 3 << dual;
    QTest::newRow("RS232+RS422") << 4 << dual;
}

void Tst_convertserial::serialJson()
{
    QFETCH(int, mode);
    QFETCH(QStringList, keys);
    SerialParamWidget source(nullptr);
    combo(source, "comboBox")->setCurrentIndex(mode);
    setGroup(source, 0, {7, 1, 0, 2});
    setGroup(source, 1, {9, 0, 1, 1});
    const QJsonObject saved = source.toJson();
    QCOMPARE(saved.keys(), keys);

    SerialParamWidget loaded(nullptr);
    setGroup(loaded, 1, {2, 1, 1, 2});
    loaded.fromJson(saved);
    QCOMPARE(loaded.toJson(), saved);
    QCOMPARE(groupOf(loaded, 0), (Group{7, 1, 0, 2}));
    // A single-port file does not touch the second group.
    QCOMPARE(groupOf(loaded, 1), (mode >= 3 ? Group{9, 0, 1, 1} : Group{2, 1, 1, 2}));
    QCOMPARE(child<QGroupBox>(loaded, "groupBox_2")->isEnabled(), mode >= 3);

    loaded.fromJson({}); // missing keys select the first entries
    QCOMPARE(combo(loaded, "comboBox")->currentIndex(), 0);
    QCOMPARE(groupOf(loaded, 0), (Group{0, 0, 0, 0}));
}

QTEST_MAIN(Tst_convertserial)
#include "tst_convertserial.moc"
