#include "app/MessageBox.h"
#include "pages/ModBusWidget.h"

#include "TableState.h"

#include <QtTest>
#include <QtWidgets>

// Drives the Modbus page as the central widget and the user do: frames in
// and out, typing, pasting, switching lists, loading files.
class Tst_modbus : public QObject
{
    Q_OBJECT

    ModBusWidget *m_page = nullptr;
    QStringList m_boxes; // "title: text" of the boxes shown

    QComboBox *box(const char *name) const { return m_page->findChild<QComboBox *>(name); }
    QLineEdit *edit(const char *name) const { return m_page->findChild<QLineEdit *>(name); }
    QTextEdit *data() const { return m_page->findChild<QTextEdit *>("m_textEdit"); }
    QComboBox *protocol() const { return box("comboBox"); }
    QComboBox *lengths() const { return box("comboBox_2"); }
    QComboBox *heartbeat() const { return box("m_ComboBoxHeartEnable"); }
    QComboBox *frameType() const { return box("m_comboBoxFrameType"); }
    QComboBox *frameFormat() const { return box("m_comboBoxFrameFormat"); }

    static QJsonObject example(const QJsonObject &changes = {})
    {
        QVariantMap o{{"Type", 2},      {"heartEnable", 1},    {"interval", "500"}, {"frameFormat", 0},
                      {"frameType", 1}, {"dataLen", 9},        {"CANID", "1ABCDEF0"},
                      {"Data", "11 22"}, {"Addr", "01"}};
        o.insert(changes.toVariantMap());
        return QJsonObject::fromVariantMap(o);
    }

private slots:
    void init()
    {
        m_boxes.clear();
        setMessageObserver([this](const MessageRecord &r) { m_boxes << r.title + ": " + r.text; });
        m_page = new ModBusWidget;
    }
    void cleanup()
    {
        delete m_page;
        setMessageObserver({});
    }

    // The block the page holds: address, heartbeat, interval, flags, length, identifier, then
    // the data up to the length, in hex. Texts are read as the device fields expect them.
    static QString text(const Protocol::ModbusBlock &b)
    {
        const QByteArray data(reinterpret_cast<const char *>(b.data.data()), b.length);
        return QString("%1 %2 %3 %4 %5 %6 ").arg(b.address, 2, 16, QChar('0')).arg(b.heartbeat).arg(b.interval)
                   .arg(b.flags, 2, 16, QChar('0')).arg(b.length).arg(b.canId, 0, 16) + data.toHex();
    }
    void block_data()
    {
        QTest::addColumn<QJsonObject>("settings");
        QTest::addColumn<QString>("block");
        QByteArray all;
        for (int i = 0; i < 64; ++i)
            all += char(0xC0 + i);
        QTest::newRow("worked example") << example() << "01 1 500 b0 12 1abcdef0 112200000000000000000000";
        QTest::newRow("remote standard")
            << example({{"frameFormat", 1}, {"frameType", 0}, {"CANID", "7FF"}, {"dataLen", 8}, {"Addr", "fe"}})
            << "fe 1 500 40 8 7ff 1122000000000000";
        QTest::newRow("64 bytes") << example({{"dataLen", 15}, {"Data", QString(all.toHex(' '))}})
                                  << "01 1 500 b0 64 1abcdef0 " + QString(all.toHex());
        QTest::newRow("spaces removed first") << example({{"dataLen", 4}, {"Data", "1 2 3"}})
                                              << "01 1 500 b0 4 1abcdef0 12030000";
        QTest::newRow("heartbeat off, empty texts")
            << example({{"heartEnable", 0}, {"interval", ""}, {"Addr", ""}}) << "00 0 0 b0 12 1abcdef0 112200000000000000000000";
    }
    void block()
    {
        QFETCH(QJsonObject, settings);
        m_page->fromJson(settings);
        QTEST(text(m_page->block()), "block");
    }

    // The page after a reply: protocol, frame type and format indexes, the length and the data,
    // then address, heartbeat, interval and identifier, then any message. A reply's interval of
    // 0 is reported like a typed one (and stays: a program's text has nothing to undo); an
    // unknown heartbeat byte reads as off.
    void readBlock_data()
    {
        QTest::addColumn<int>("protocolBefore");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("after");
        const QByteArray five = "1122334455";
        const QString four = ": 11 22 33 44|01 1 1000 00|", pad = QString(" 00").repeated(62);
        QTest::newRow("CAN") << 1 << QByteArray("01 01 03E8 00 08 00000000 11")
                             << "000 8: 11 00 00 00 00 00 00 00|01 1 1000 00|";
        QTest::newRow("FD加速 extended") << 0 << QByteArray("0A 01 01F4 B0 40 1ABCDEF0 0102")
                                         << "210 64: 01 02" + pad + "|0a 1 500 1abcdef0|";
        QTest::newRow("bit 4 alone keeps CANFD")
            << 1 << QByteArray("01 01 03E8 10 00") << "100 0: |01 1 1000 00|";
        QTest::newRow("remote forces CAN") << 0 << "01 01 03E8 60 04 00000000" + five << "001 4" + four;
        QTest::newRow("unknown 10 keeps 4") << 0 << "01 01 03E8 B0 0A 00000000" + five << "210 4" + four;
        QTest::newRow("interval 0, heartbeat 7") << 0 << QByteArray("0A 07 0000 80 02 00000000 ABCD")
                                                 << "010 2: ab cd|0a 0 0 00|输入错误: 请输入有效值: 1-65535";
    }
    void readBlock()
    {
        QFETCH(int, protocolBefore);
        QFETCH(QByteArray, payload);
        protocol()->setCurrentIndex(protocolBefore);
        lengths()->setCurrentIndex(4);
        m_page->readBlock(
            (QByteArray::fromHex("56AA20") + QByteArray::fromHex(payload)).leftJustified(87, '\0'));
        const QJsonObject j = m_page->toJson();
        const auto number = [&j](const char *key) { return QString::number(j[key].toInt()); };
        const QString shown = number("Type") + number("frameType") + number("frameFormat") + " " +
                              lengths()->currentText() + ": " + j["Data"].toString() + "|" +
                              j["Addr"].toString() + " " + number("heartEnable") + " " +
                              j["interval"].toString() + " " + j["CANID"].toString() + "|" + m_boxes.join("");
        QTEST(shown, "after");
    }

    // Heartbeat off disables the other controls; a remote frame is classic CAN with at most
    // 8 bytes, also after the heartbeat is switched off and on; a standard frame clears a
    // longer identifier.
    void enablingRules()
    {
        QVERIFY(!protocol()->isEnabled() && !edit("m_lineEditCanID")->isEnabled() && !data()->isEnabled());
        heartbeat()->setCurrentIndex(1);
        QVERIFY(protocol()->isEnabled() && edit("m_lineEditCanID")->isEnabled() && data()->isEnabled());
        protocol()->setCurrentIndex(1);
        lengths()->setCurrentIndex(10);
        frameFormat()->setCurrentIndex(1);
        heartbeat()->setCurrentIndex(0);
        heartbeat()->setCurrentIndex(1);
        QVERIFY(!protocol()->isEnabled() && protocol()->currentIndex() == 0);
        QCOMPARE(lengths()->currentText() + " " + selectableEntries(lengths()),
                 QString("8 1111111110000000"));
        frameType()->setCurrentIndex(1);
        edit("m_lineEditCanID")->setText("1FFF");
        frameType()->setCurrentIndex(0);
        QCOMPARE(edit("m_lineEditCanID")->text(), QString("00"));
        QVERIFY(m_boxes.isEmpty());
    }

    // Protocol index and enabled items, then the length and its enabled items, after `onType`
    // from CANFD加速 at 64.
    void onType_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("state");
        QTest::newRow("classic moves to CAN") << 0 << "0 100 8 1111111110000000";
        QTest::newRow("FD moves down to CANFD") << 1 << "1 110 64 1111111111111111";
        QTest::newRow("FD with switching") << 2 << "2 111 64 1111111111111111";
    }
    void onType()
    {
        QFETCH(int, mode);
        protocol()->setCurrentIndex(2);
        lengths()->setCurrentIndex(15);
        m_page->onType(mode);
        QTEST(QStringLiteral("%1 %2 %3 %4").arg(protocol()->currentIndex())
                  .arg(selectableEntries(protocol()), lengths()->currentText(), selectableEntries(lengths())),
              "state");
    }

    // A new length truncates the data or pads it with 00; parts that are no hex byte become 00.
    void lengthChange()
    {
        lengths()->setCurrentIndex(8);
        data()->setPlainText("ABC 1f G1 7 55 66 77 88");
        lengths()->setCurrentIndex(4);
        QCOMPARE(data()->toPlainText(), QString("00 1f 00 00"));
        lengths()->setCurrentIndex(9);
        QCOMPARE(data()->toPlainText(), "00 1f 00 00" + QString(" 00").repeated(8));
    }

    // Keys typed or pasted at the end of a field: its text after, then any message. A key that
    // takes a field out of range is refused with a message; the data takes hex digits only.
    void typing_data()
    {
        QTest::addColumn<QString>("field"); // the ID of a standard or extended frame, the interval, the data
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("after");
        const QString bad = "|输入错误: 请输入有效值: ", paste = "Ctrl+V";
        QTest::newRow("standard 800") << "standard" << "80" << "0" << "" << "80" + bad + "0x00-0x7ff";
        QTest::newRow("extended 1FFFFFFF") << "extended" << "1FFFFFF" << "F" << "" << "1FFFFFFf|";
        QTest::newRow("interval 65536") << "interval" << "6553" << "6" << "" << "6553" + bad + "1-65535";
        QTest::newRow("interval letter") << "interval" << "1" << "A" << "" << "1" + bad + "1-65535";
        QTest::newRow("data a") << "data" << "1" << "A" << "" << "1a|";
        QTest::newRow("ctrl shortcuts reach the editor") << "data" << "11 22" << "Ctrl+A, C" << "" << "c|";
        QTest::newRow("paste 0x list") << "data" << "" << paste << "0x1A, 0x2B" << "01 A0 2B|";
        QTest::newRow("paste odd digit alone") << "data" << "" << paste << "abcde" << "AB CD E|";
        QTest::newRow("paste full-width digits") << "data" << "11" << paste << "１２" << "11|";
    }
    void typing()
    {
        QFETCH(QString, field);
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, clipboard);
        heartbeat()->setCurrentIndex(1);
        frameType()->setCurrentIndex(field == "extended");
        QGuiApplication::clipboard()->setText(clipboard);
        const char *name = field == "interval" ? "m_lineEditTimeInterval" : "m_lineEditCanID";
        QWidget *target = field == "data" ? static_cast<QWidget *>(data()) : edit(name);
        const char *text = field == "data" ? "plainText" : "text";
        target->setProperty(text, before);
        data()->moveCursor(QTextCursor::End);
        m_boxes.clear();
        QTest::keySequence(target, QKeySequence(keys));
        QTEST(target->property(text).toString() + "|" + m_boxes.join(""), "after");
    }

    // Neither route around the key filter lets other characters in.
    void clipboardAndInputMethodEvents()
    {
        QGuiApplication::clipboard()->setText("c3");
        data()->clear();
        QEvent clip(QEvent::Clipboard);
        QCoreApplication::sendEvent(data(), &clip);
        QInputMethodEvent im;
        im.setCommitString("GZ");
        QCoreApplication::sendEvent(data(), &im);
        QCOMPARE(data()->toPlainText(), QString("C3"));
    }

    void defaults()
    {
        const QJsonObject expected{{"Type", 0}, {"heartEnable", 0}, {"interval", "1000"}, {"frameFormat", 0},
                                   {"frameType", 0}, {"dataLen", 8}, {"CANID", "00 00 00 00"},
                                   {"Data", "00 00 00 00 00 00 00 00"}, {"Addr", "01"}};
        m_page->fromJson(example({{"frameFormat", 1}}));
        m_page->loadDefaults();
        QCOMPARE(m_page->toJson(), expected);
        QVERIFY(!protocol()->isEnabled() && m_boxes.isEmpty());
    }

    // A missing number selects index 0, as does one out of range; a missing string empties its field.
    void json()
    {
        const QList<std::tuple<QString, QJsonValue, QJsonValue>> cases{
            {"Type", 2, 2}, {"Type", QJsonValue::Undefined, 0}, {"dataLen", QJsonValue::Undefined, 0},
            {"Type", 7, 0}, {"CANID", QJsonValue::Undefined, ""}, {"Data", QJsonValue::Undefined, ""}};
        for (const auto &[key, given, read] : cases) {
            QJsonObject in = example();
            in.insert(key, given); // Undefined removes the key
            m_page->fromJson(in);
            QCOMPARE(m_page->toJson(), example({{key, read}}));
        }
    }
};

QTEST_MAIN(Tst_modbus)
#include "tst_modbus.moc"
