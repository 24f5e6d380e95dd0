#include "app/MessageBox.h"
#include "pages/ModBusWidget.h"

#include <QClipboard>
#include <QComboBox>
#include <QJsonObject>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QtTest>

// Drives the Modbus page as the central widget and the user do: frames in
// and out, typing, pasting, switching lists, loading files.
class Tst_modbus : public QObject
{
    Q_OBJECT

    ModBusWidget *m_page = nullptr;
    QList<MessageRecord> m_boxes;

    QComboBox *box(const char *name) const { return m_page->findChild<QComboBox *>(name); }
    QLineEdit *edit(const char *name) const { return m_page->findChild<QLineEdit *>(name); }
    QTextEdit *data() const { return m_page->findChild<QTextEdit *>("m_textEdit"); }
    QComboBox *protocol() const { return box("comboBox"); }
    QComboBox *lengths() const { return box("comboBox_2"); }
    QLineEdit *canId() const { return edit("m_lineEditCanID"); }
    QLineEdit *interval() const { return edit("m_lineEditTimeInterval"); }

    static QString enabledItems(QComboBox *b)
    {
        QString mask;
        auto *model = qobject_cast<QStandardItemModel *>(b->model());
        for (int i = 0; i < b->count(); ++i)
            mask += model->item(i)->isEnabled() ? '1' : '0';
        return mask;
    }
    // A 0x20 reply: header, the payload from offset 3, zero padding and room for the checksum.
    static QByteArray reply(const QByteArray &payloadHex)
    {
        QByteArray r = QByteArray::fromHex("56AA20") + QByteArray::fromHex(payloadHex);
        return r.leftJustified(87, '\0');
    }
    static QJsonObject example()
    {
        return {{"Type", 2},         {"heartEnable", 1}, {"interval", "500"},  {"frameFormat", 0}, {"frameType", 1},
                {"dataLen", 9},      {"CANID", "1ABCDEF0"}, {"Data", "11 22"}, {"Addr", "01"}};
    }
    QString lastBoxText() const { return m_boxes.isEmpty() ? QString() : m_boxes.last().text; }

private slots:
    void initTestCase()
    {
        // The slot name on_changecomboBox_2 is fixed by the page's interface and
        // names no child, so every form setup reports it; keep the log readable.
        static QtMessageHandler previous = nullptr;
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (!text.contains("No matching signal for on_changecomboBox_2"))
                previous(type, context, text);
        });
    }
    void init()
    {
        m_boxes.clear();
        setMessageObserver([this](const MessageRecord &r) { m_boxes << r; });
        m_page = new ModBusWidget;
    }
    void cleanup()
    {
        delete m_page;
        setMessageObserver({});
    }

    void writeBlock_data()
    {
        QTest::addColumn<QJsonObject>("settings");
        QTest::addColumn<QByteArray>("expected"); // from offset 3; the rest up to 85 bytes is zero
        QStringList all;
        for (int i = 0; i < 64; ++i)
            all << QString::number(i + 0xC0, 16);
        auto with = [](QJsonObject o, const QJsonObject &changes) {
            for (auto it = changes.begin(); it != changes.end(); ++it)
                o.insert(it.key(), it.value());
            return o;
        };
        const QJsonObject ex = example();
        QTest::newRow("worked example") << ex << QByteArray("01 01 01F4 B0 0C 1ABCDEF0 1122");
        QTest::newRow("remote standard")
            << with(ex, {{"frameFormat", 1}, {"frameType", 0}, {"CANID", "7FF"}, {"dataLen", 8}, {"Addr", "fe"},
                         {"Data", "01 02 03 04 05 06 07 08"}})
            << QByteArray("FE 01 01F4 40 08 000007FF 0102030405060708");
        QTest::newRow("classic extended") << with(ex, {{"Type", 0}, {"dataLen", 1}, {"Data", "AB"}})
                                          << QByteArray("01 01 01F4 80 01 1ABCDEF0 AB");
        QTest::newRow("CANFD standard") << with(ex, {{"Type", 1}, {"frameType", 0}, {"CANID", "123"}, {"dataLen", 0}})
                                        << QByteArray("01 01 01F4 20 00 00000123");
        QTest::newRow("64 bytes") << with(ex, {{"dataLen", 15}, {"Data", all.join(' ')}})
                                  << QByteArray("01 01 01F4 B0 40 1ABCDEF0") + all.join("").toLatin1();
        QTest::newRow("default ID text sends 0") << with(ex, {{"CANID", "00 00 00 00"}, {"dataLen", 0}})
                                                 << QByteArray("01 01 01F4 B0 00 00000000");
        QTest::newRow("spaces removed first") << with(ex, {{"dataLen", 4}, {"Data", "1 2 3"}})
                                              << QByteArray("01 01 01F4 B0 04 1ABCDEF0 12030000");
        QTest::newRow("one-character piece") << with(ex, {{"dataLen", 1}, {"Data", "A"}})
                                             << QByteArray("01 01 01F4 B0 01 1ABCDEF0 0A");
        QTest::newRow("line break in data") << with(ex, {{"dataLen", 3}, {"Data", "11\n22\t33"}})
                                            << QByteArray("01 01 01F4 B0 03 1ABCDEF0 112233");
        QTest::newRow("bad piece and surplus") << with(ex, {{"dataLen", 2}, {"Data", "zz 11 22"}})
                                               << QByteArray("01 01 01F4 B0 02 1ABCDEF0 0011");
        QTest::newRow("heartbeat off, empty texts")
            << with(ex, {{"heartEnable", 0}, {"interval", ""}, {"Addr", ""}, {"dataLen", 0}})
            << QByteArray("00 00 0000 B0 00 1ABCDEF0");
    }
    void writeBlock()
    {
        QFETCH(QJsonObject, settings);
        QFETCH(QByteArray, expected);
        m_page->fromJson(settings);
        QByteArray frame = QByteArray::fromHex("56AA21");
        m_page->writeBlock(frame);
        QCOMPARE(frame.size(), 85);
        QCOMPARE(frame.left(3), QByteArray::fromHex("56AA21"));
        QCOMPARE(frame.mid(3).toHex(), QByteArray::fromHex(expected).leftJustified(82, '\0').toHex());
        QVERIFY(m_boxes.isEmpty());
    }

    void readBlockFlags_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<int>("protocolAfter");
        QTest::addColumn<int>("typeAfter");
        QTest::addColumn<int>("formatAfter");
        QTest::newRow("CAN") << 1 << QByteArray("00") << 0 << 0 << 0;
        QTest::newRow("CANFD") << 0 << QByteArray("20") << 1 << 0 << 0;
        QTest::newRow("CANFD加速 extended") << 0 << QByteArray("B0") << 2 << 1 << 0;
        QTest::newRow("bit 4 alone keeps CANFD") << 1 << QByteArray("10") << 1 << 0 << 0;
        QTest::newRow("bit 4 alone keeps CANFD加速") << 2 << QByteArray("90") << 2 << 1 << 0;
        QTest::newRow("remote forces CAN") << 0 << QByteArray("60") << 0 << 0 << 1;
    }
    void readBlockFlags()
    {
        QFETCH(int, before);
        QFETCH(QByteArray, flags);
        protocol()->setCurrentIndex(before);
        m_page->readBlock(reply("01 01 03E8" + flags + "08 00000000"));
        QTEST(protocol()->currentIndex(), "protocolAfter");
        QTEST(box("m_comboBoxFrameType")->currentIndex(), "typeAfter");
        QTEST(box("m_comboBoxFrameFormat")->currentIndex(), "formatAfter");
    }

    void readBlockLength_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("text");
        QTest::newRow("64") << 8 << QByteArray("40 00000000 0102") << "64"
                            << "01 02" + QString(" 00").repeated(62);
        QTest::newRow("12") << 8 << QByteArray("0C 00000000 AB") << "12" << "ab" + QString(" 00").repeated(11);
        QTest::newRow("unknown 10 keeps 4") << 4 << QByteArray("0A 00000000 1122334455") << "4" << "11 22 33 44";
        QTest::newRow("0 clears") << 8 << QByteArray("00 00000000 11") << "0" << "";
    }
    void readBlockLength()
    {
        QFETCH(int, before);
        QFETCH(QByteArray, payload);
        lengths()->setCurrentIndex(before);
        m_page->readBlock(reply("01 01 03E8 B0" + payload));
        QTEST(lengths()->currentText(), "length");
        QTEST(data()->toPlainText(), "text");
    }

    void readBlockFields()
    {
        m_page->readBlock(reply("0A 01 01F4 80 02 1ABCDEF0 ABCD"));
        const QJsonObject o = m_page->toJson();
        QCOMPARE(o.value("Addr").toString(), QString("0a"));
        QCOMPARE(o.value("heartEnable").toInt(), 1);
        QCOMPARE(o.value("interval").toString(), QString("500"));
        QCOMPARE(o.value("CANID").toString(), QString("1abcdef0"));
        QCOMPARE(o.value("Data").toString(), QString("ab cd"));
        QVERIFY(m_boxes.isEmpty());

        m_page->readBlock(reply("0A 07 0000 00 02 00000000 ABCD"));
        QCOMPARE(canId()->text(), QString("00"));
        QCOMPARE(box("m_ComboBoxHeartEnable")->currentIndex(), 0); // unknown enable byte: off
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().icon, QMessageBox::Information);
        QCOMPARE(m_boxes.first().title, QString("输入错误"));
        QCOMPARE(m_boxes.first().text, QString("请输入有效值: 1-65535"));

        m_page->readBlock(QByteArray::fromHex("56AA20")); // truncated: reads as zeros, never past the end
        QCOMPARE(lengths()->currentText(), QString("0"));
        QCOMPARE(data()->toPlainText(), QString());
    }

    void writeThenReadGivesSameFrame()
    {
        m_page->fromJson(example());
        QByteArray sent = QByteArray::fromHex("56AA21");
        m_page->writeBlock(sent);
        ModBusWidget other;
        QByteArray echoed = sent;
        echoed[2] = 0x20;
        other.readBlock(echoed + "\0\0");
        QByteArray again = QByteArray::fromHex("56AA21");
        other.writeBlock(again);
        QCOMPARE(again.toHex(), sent.toHex());
    }

    void heartbeatEnablesControls()
    {
        const QList<QWidget *> controls{protocol(), interval(), box("m_comboBoxFrameFormat"), box("m_comboBoxFrameType"),
                                        lengths(), canId(), data()};
        for (QWidget *w : controls)
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(box("m_ComboBoxHeartEnable")->isEnabled());
        box("m_ComboBoxHeartEnable")->setCurrentIndex(1);
        for (QWidget *w : controls)
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(enabledItems(lengths()), QString("1111111111111111")); // no rule applied yet
    }

    void remoteFrameLocksProtocol()
    {
        box("m_ComboBoxHeartEnable")->setCurrentIndex(1);
        protocol()->setCurrentIndex(1);
        lengths()->setCurrentIndex(10);
        box("m_comboBoxFrameFormat")->setCurrentIndex(1);
        QCOMPARE(protocol()->currentIndex(), 0);
        QVERIFY(!protocol()->isEnabled());
        QCOMPARE(lengths()->currentText(), QString("8"));
        QCOMPARE(enabledItems(lengths()), QString("1111111110000000"));
        // Switching the heartbeat off and on again keeps the lock.
        box("m_ComboBoxHeartEnable")->setCurrentIndex(0);
        box("m_ComboBoxHeartEnable")->setCurrentIndex(1);
        QVERIFY(!protocol()->isEnabled());
        box("m_comboBoxFrameFormat")->setCurrentIndex(0);
        QVERIFY(protocol()->isEnabled());
    }

    void onType_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("protocolItems");
        QTest::addColumn<QString>("lengthAfter");
        QTest::newRow("classic moves CANFD加速 to CAN") << 0 << 2 << 0 << "100" << "8";
        QTest::newRow("classic keeps CAN") << 0 << 0 << 0 << "100" << "8";
        QTest::newRow("FD moves CANFD加速 down") << 1 << 2 << 1 << "110" << "64";
        QTest::newRow("FD keeps CANFD") << 1 << 1 << 1 << "110" << "64";
        QTest::newRow("FD with switching") << 2 << 2 << 2 << "111" << "64";
    }
    void onType()
    {
        QFETCH(int, mode);
        QFETCH(int, before);
        QFETCH(QString, lengthAfter);
        protocol()->setCurrentIndex(before);
        lengths()->setCurrentIndex(15);
        m_page->onType(mode);
        QTEST(protocol()->currentIndex(), "after");
        QTEST(enabledItems(protocol()), "protocolItems");
        QCOMPARE(lengths()->currentText(), lengthAfter);
        QCOMPARE(enabledItems(lengths()), lengthAfter == "8" ? QString("1111111110000000") : QString(16, '1'));
    }

    void lengthChange_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("8 to 4 truncates") << 8 << "11 22 33 44 55 66 77 88" << 4 << "11 22 33 44";
        QTest::newRow("4 to 12 pads") << 4 << "11 22 33 44" << 9 << "11 22 33 44" + QString(" 00").repeated(8);
        QTest::newRow("bad parts become 00") << 8 << "ABC 1f G1 7" << 4 << "00 1f 00 00";
        QTest::newRow("runs of white space") << 8 << "  11\n\n22  " << 2 << "11 22";
        QTest::newRow("to 0 clears") << 8 << "11 22" << 0 << "";
    }
    void lengthChange()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        lengths()->setCurrentIndex(from);
        QFETCH(QString, text);
        data()->setPlainText(text);
        lengths()->setCurrentIndex(to);
        QTEST(data()->toPlainText(), "expected");
    }

    void rangeCheck_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("frameType");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("after");
        const QString bad = "请输入有效值: %1";
        QTest::newRow("standard 800") << "id" << 0 << "80" << "0" << bad.arg("0x00-0x7ff") << "80";
        QTest::newRow("standard 7FF") << "id" << 0 << "7F" << "F" << "" << "7FF";
        QTest::newRow("standard validator") << "id" << 0 << "12" << "34" << "" << "123";
        QTest::newRow("extended 20000000") << "id" << 1 << "2000000" << "0" << bad.arg("0x00-0x1fffffff") << "2000000";
        QTest::newRow("extended 1FFFFFFF") << "id" << 1 << "1FFFFFF" << "F" << "" << "1FFFFFFF";
        QTest::newRow("interval 65536") << "interval" << 0 << "6553" << "6" << bad.arg("1-65535") << "6553";
        QTest::newRow("interval 0") << "interval" << 0 << "" << "0" << bad.arg("1-65535") << "";
        QTest::newRow("interval letter") << "interval" << 0 << "1" << "a" << bad.arg("1-65535") << "1";
        QTest::newRow("interval 65535") << "interval" << 0 << "6553" << "5" << "" << "65535";
    }
    void rangeCheck()
    {
        QFETCH(QString, field);
        QFETCH(int, frameType);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        box("m_ComboBoxHeartEnable")->setCurrentIndex(1);
        box("m_comboBoxFrameType")->setCurrentIndex(frameType);
        QLineEdit *target = field == "id" ? canId() : interval();
        target->setText(before);
        m_boxes.clear();
        QTest::keyClicks(target, typed);
        QCOMPARE(m_boxes.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(lastBoxText(), message);
        QTEST(target->text(), "after");
    }

    void standardFrameShortensLongId_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("after");
        QTest::newRow("1FFF") << "1FFF" << "00";
        QTest::newRow("800") << "800" << "00";
        QTest::newRow("7FF") << "7FF" << "7FF";
    }
    void standardFrameShortensLongId()
    {
        QFETCH(QString, id);
        box("m_comboBoxFrameType")->setCurrentIndex(1);
        canId()->setText(id);
        box("m_comboBoxFrameType")->setCurrentIndex(0);
        QTEST(canId()->text(), "after");
        QVERIFY(m_boxes.isEmpty());
    }

    void dataKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("digit") << int(Qt::Key_7) << 0 << "1" << "17";
        QTest::newRow("a") << int(Qt::Key_A) << 0 << "1" << "1a";
        QTest::newRow("F") << int(Qt::Key_F) << 0 << "1" << "1f";
        QTest::newRow("G") << int(Qt::Key_G) << 0 << "1" << "1";
        QTest::newRow("x") << int(Qt::Key_X) << 0 << "1" << "1";
        QTest::newRow("space") << int(Qt::Key_Space) << 0 << "1" << "1";
        QTest::newRow("comma") << int(Qt::Key_Comma) << 0 << "1" << "1";
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << "12" << "1";
        QTest::newRow("return") << int(Qt::Key_Return) << 0 << "1" << "1\n";
        QTest::newRow("ctrl A") << int(Qt::Key_A) << int(Qt::ControlModifier) << "12" << "12";
    }
    void dataKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, before);
        box("m_ComboBoxHeartEnable")->setCurrentIndex(1);
        data()->setPlainText(before);
        data()->moveCursor(QTextCursor::End);
        QTest::keyClick(data(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTEST(data()->toPlainText(), "after");
    }

    void ctrlShortcutsReachEditor()
    {
        box("m_ComboBoxHeartEnable")->setCurrentIndex(1);
        data()->setPlainText("11 22");
        QTest::keyClick(data(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(data(), Qt::Key_C);
        QCOMPARE(data()->toPlainText(), QString("c"));
    }

    void paste_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("0x list") << "0x1A, 0x2B" << "" << "01 A0 2B";
        QTest::newRow("odd digit alone") << "abcde" << "" << "AB CD E";
        QTest::newRow("at cursor") << "ff" << "11 " << "11 FF";
        QTest::newRow("no digits") << "xyz, -" << "11" << "11";
        QTest::newRow("full-width digits") << "１２" << "11" << "11";
    }
    void paste()
    {
        QFETCH(QString, clipboard);
        QFETCH(QString, before);
        box("m_ComboBoxHeartEnable")->setCurrentIndex(1);
        QGuiApplication::clipboard()->setText(clipboard);
        data()->setPlainText(before);
        data()->moveCursor(QTextCursor::End);
        QTest::keyClick(data(), Qt::Key_V, Qt::ControlModifier);
        QTEST(data()->toPlainText(), "after");
    }

    void clipboardAndInputMethodEvents()
    {
        QGuiApplication::clipboard()->setText("c3");
        data()->clear();
        QEvent clip(QEvent::Clipboard);
        QCoreApplication::sendEvent(data(), &clip);
        QCOMPARE(data()->toPlainText(), QString("C3"));
        QInputMethodEvent im;
        im.setCommitString("GZ");
        QCoreApplication::sendEvent(data(), &im);
        QCOMPARE(data()->toPlainText(), QString("C3"));
        QVERIFY(!data()->testAttribute(Qt::WA_InputMethodEnabled));
    }

    void defaults()
    {
        const QJsonObject expected{{"Type", 0},     {"heartEnable", 0},        {"interval", "1000"},
                                   {"frameFormat", 0}, {"frameType", 0},       {"dataLen", 8},
                                   {"CANID", "00 00 00 00"}, {"Data", "00 00 00 00 00 00 00 00"}, {"Addr", "01"}};
        QCOMPARE(m_page->toJson(), expected);
        m_page->fromJson(example());
        box("m_comboBoxFrameFormat")->setCurrentIndex(1);
        m_page->loadDefaults();
        QCOMPARE(m_page->toJson(), expected);
        QVERIFY(!protocol()->isEnabled());
        QVERIFY(m_boxes.isEmpty());
    }

    void json_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("given"); // Undefined: the key is missing
        QTest::addColumn<QJsonValue>("read");
        QTest::newRow("complete") << "Type" << QJsonValue(2) << QJsonValue(2);
        QTest::newRow("missing Type") << "Type" << QJsonValue(QJsonValue::Undefined) << QJsonValue(0);
        QTest::newRow("missing dataLen") << "dataLen" << QJsonValue(QJsonValue::Undefined) << QJsonValue(0);
        QTest::newRow("Type out of range") << "Type" << QJsonValue(7) << QJsonValue(0);
        QTest::newRow("missing CANID") << "CANID" << QJsonValue(QJsonValue::Undefined) << QJsonValue("");
        QTest::newRow("missing Data") << "Data" << QJsonValue(QJsonValue::Undefined) << QJsonValue("");
        QTest::newRow("missing interval") << "interval" << QJsonValue(QJsonValue::Undefined) << QJsonValue("");
        QTest::newRow("missing Addr") << "Addr" << QJsonValue(QJsonValue::Undefined) << QJsonValue("");
    }
    void json()
    {
        QFETCH(QString, key);
        QFETCH(QJsonValue, given);
        QFETCH(QJsonValue, read);
        QJsonObject in = example();
        if (given.isUndefined())
            in.remove(key);
        else
            in.insert(key, given);
        m_page->fromJson(in);
        QJsonObject expected = example();
        expected.insert(key, read);
        QCOMPARE(m_page->toJson(), expected);
        QVERIFY(m_boxes.isEmpty());
    }
};

QTEST_MAIN(Tst_modbus)
#include "tst_modbus.moc"
