#include "app/MessageBox.h"
#include "pages/CanMappingWidget.h"

#include <QtTest>
#include <QtWidgets>

// Exercises the mapping page the way the central widget and the user reach
// it: blocks in and out, the CAN mode, the editors, validation and file rows.
class Tst_canmapping : public QObject
{
    Q_OBJECT

    CanMappingWidget *m_page = nullptr;
    QList<MessageRecord> m_boxes;

    QTableWidget *table(bool send) const
    {
        return m_page->findChild<QTableWidget *>(send ? "m_tableWidgetCanSendMapping" : "m_tableWidgetRecvMapping");
    }
    QComboBox *combo(bool send, int row, int col) const { return qobject_cast<QComboBox *>(table(send)->cellWidget(row, col)); }
    QLineEdit *edit(bool send, int row, int col) const { return qobject_cast<QLineEdit *>(table(send)->cellWidget(row, col)); }
    QAction *action(bool send, int index) const
    {
        return m_page->findChild<QMenu *>(send ? "sendMappingMenu" : "recvMappingMenu")->actions().at(index);
    }
    void load(const QStringList &send, const QStringList &recv)
    {
        m_page->fromJson({{"sendMap", QJsonArray::fromStringList(send)}, {"recMap", QJsonArray::fromStringList(recv)}});
    }
    // Each box as "icon title|text|buttons".
    QStringList shown() const
    {
        QStringList texts;
        for (const MessageRecord &box : m_boxes)
            texts << QStringLiteral("%1 %2|%3|%4").arg(int(box.icon)).arg(box.title, box.text, box.buttons.join(','));
        return texts;
    }
    // The highlighted cells of both tables, as "send row:column" or "recv row:column".
    QStringList highlighted() const
    {
        QStringList cells;
        for (bool send : {true, false})
            for (int row = 0; row < table(send)->rowCount(); ++row)
                for (int c = 1; c < table(send)->columnCount(); ++c)
                    if (table(send)->cellWidget(row, c)->styleSheet() == "background-color: #FFB6C1;")
                        cells << QStringLiteral("%1 %2:%3").arg(send ? "send" : "recv").arg(row).arg(c);
        return cells;
    }
    // Which of the entries are selectable, as 0/1.
    static QString enabled(QComboBox *list, std::initializer_list<int> indexes)
    {
        QString mask;
        for (int i : indexes)
            mask += qobject_cast<QStandardItemModel *>(list->model())->item(i)->isEnabled() ? '1' : '0';
        return mask;
    }
    static QStringList repeated(int n, const QString &s) { return QString(s + ";").repeated(n).split(';', Qt::SkipEmptyParts); }
    // The block the page writes into a 0x25 (send) or 0x23 (receive) frame.
    QByteArray written(bool send) const
    {
        QByteArray frame = QByteArray::fromHex("56AA") + char(send ? 0x25 : 0x23);
        send ? m_page->writeSendBlock(frame) : m_page->writeRecvBlock(frame);
        return frame;
    }
    // A frame of the given length with the records from slot 0 on.
    static QByteArray frame(char command, int recordSize, const QStringList &records, int length)
    {
        QByteArray frame = QByteArray::fromHex("56AA") + command + QByteArray(length - 3, '\0');
        for (int i = 0; i < records.size(); ++i)
            frame.replace(3 + recordSize * i, recordSize, QByteArray::fromHex(records.at(i).toLatin1()));
        return frame.left(length);
    }

private slots:
    void init()
    {
        m_boxes.clear();
        setMessageObserver([this](const MessageRecord &box) { m_boxes << box; });
        m_page = new CanMappingWidget;
    }
    void cleanup()
    {
        delete m_page;
        setMessageObserver({});
    }

    void form()
    {
        QStringList texts{m_page->findChild<QGroupBox *>("m_groupBoxSend")->title(), m_page->findChild<QGroupBox *>("m_groupBoxRecvMapping")->title()};
        for (bool send : {true, false}) {
            for (int c = 0; c < table(send)->columnCount(); ++c)
                texts << table(send)->horizontalHeaderItem(c)->text();
            for (int i = 0; i < 3; ++i)
                texts << action(send, i)->text();
        }
        QCOMPARE(texts, (QStringList{"CAN发送映射列表", "CAN接收映射列表", " ", "帧格式", "帧类型", "CAN协议", "数据长度", "CAN ID(HEX)", "寄存器地址(DEC)",
                                     "删除", "添加", "清空", " ", "CAN ID(HEX)", "寄存器首地址(DEC)", "映射数量", "删除", "添加", "清空"}));
        QCOMPARE(table(true)->contextMenuPolicy(), Qt::CustomContextMenu); // the menus above open from it
        QCOMPARE(table(false)->selectionBehavior(), QAbstractItemView::SelectRows); // row handlers act on whole rows
    }

    void writeBlock_data()
    {
        QTest::addColumn<bool>("send");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("records");
        QTest::newRow("send: empty table") << true << QStringList() << QStringList();
        QTest::newRow("send: fresh row") << true << QStringList{"2,0,0,0,0,00,00,"} << QStringList{"010000000000000001"};
        QTest::newRow("send: extended FD加速 64") << true << QStringList{"2,0,1,2,14,1FFFFFFF,40000,"} << QStringList{"011FFFFFFF9C40B040"};
        QTest::newRow("send: CANFD 12 standard") << true << QStringList{"2,0,0,1,8,7ff,1,"} << QStringList{"01000007FF0001200C"};
        QTest::newRow("send: dynamic length") << true << QStringList{"2,0,0,0,15,1,2,"} << QStringList{"0100000001000200FF"};
        QTest::newRow("send: no length selected") << true << QStringList{"2,0,0,0,-1,1,2,"} << QStringList{"010000000100020000"};
        QTest::newRow("send: unchecked, partly checked") << true << QStringList{"0,0,0,0,0,5,6,", "1,0,0,0,0,7,8,"} << QStringList{"000000000500060001", "010000000700080001"};
        QTest::newRow("send: empty texts count as zero") << true << QStringList{"2,0,0,0,0,,,"} << QStringList{"010000000000000001"};
        QTest::newRow("recv: fresh row") << false << QStringList{"2,00,00,0,"} << QStringList{"0100000000000001"};
        QTest::newRow("recv: 18FF50E5 at 100, 4") << false << QStringList{"2,18FF50E5,100,3,"} << QStringList{"0118FF50E5006404"};
        QTest::newRow("recv: partly checked is off") << false << QStringList{"1,5,6,0,"} << QStringList{"0000000005000601"};
        QTest::newRow("recv: no count selected") << false << QStringList{"2,1,2,-1,"} << QStringList{"0100000001000200"};
    }
    void writeBlock()
    {
        QFETCH(bool, send);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, records);
        m_page->applyCanMode(2);
        send ? load(rows, {}) : load({}, rows);
        QCOMPARE(written(send).toHex(), (send ? frame(0x25, 9, records, 299) : frame(0x23, 8, records, 263)).toHex());
    }

    void readBlock_data()
    {
        QTest::addColumn<bool>("send");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<int>("length");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("send: leading zeros dropped, zero is 00") << true << QStringList{"010000012300050008", "010000000000000001"} << 301 << QStringList{"2,0,0,0,7,123,5,", "2,0,0,0,0,00,0,"};
        QTest::newRow("send: extended FD加速 64") << true << QStringList{"011FFFFFFF9C40B040"} << 301 << QStringList{"2,0,1,2,14,1fffffff,40000,"};
        QTest::newRow("send: CANFD dynamic") << true << QStringList{"0100000010000120FF"} << 301 << QStringList{"2,0,0,1,15,10,1,"};
        QTest::newRow("send: switch bit alone, unknown length") << true << QStringList{"010000001000011009"} << 301 << QStringList{"2,0,0,0,-1,10,1,"};
        QTest::newRow("send: disabled slot ends the list") << true << QStringList{"010000000100010001", "010000000200020001", "000000000300030001", "010000000400040001"} << 301 << QStringList{"2,0,0,0,0,1,1,", "2,0,0,0,0,2,2,"};
        QTest::newRow("send: cut inside the second slot") << true << QStringList{"010000000100010001", "010000000200020001"} << 3 + 9 + 5 << QStringList{"2,0,0,0,0,1,1,"};
        QTest::newRow("recv: 18ff50e5 at 100, 4") << false << QStringList{"0118FF50E5006404"} << 265 << QStringList{"2,18ff50e5,100,3,"};
        QTest::newRow("recv: count 40 unselected") << false << QStringList{"0100000000000028"} << 265 << QStringList{"2,00,0,-1,"};
        QTest::newRow("recv: disabled slot ends the list") << false << QStringList{"0100000001000101", "0000000002000201", "0100000003000301"} << 265 << QStringList{"2,1,1,0,"};
        QTest::newRow("recv: cut inside the first slot") << false << QStringList{"0100000001000101"} << 3 + 7 << QStringList();
    }
    void readBlock()
    {
        QFETCH(bool, send);
        QFETCH(QStringList, records);
        QFETCH(int, length);
        send ? m_page->onActionSendMappingAdd() : m_page->onActionRecvMappingAdd(); // replaced by the reply
        send ? m_page->readSendBlock(frame(0x24, 9, records, length)) : m_page->readRecvBlock(frame(0x22, 8, records, length));
        QTEST(send ? m_page->sendRowStrings() : m_page->recvRowStrings(), "rows");
        QVERIFY(m_boxes.isEmpty());
    }

    void remoteFrameSurvivesReadAndWrite()
    {
        const QString record = "010000001200054008";
        m_page->readSendBlock(frame(0x24, 9, {record}, 301));
        QCOMPARE(combo(true, 0, 1)->currentText(), QString("远程帧"));
        QCOMPARE(m_page->sendRowStrings(), QStringList{"2,1,0,0,7,12,5,"});
        QCOMPARE(written(true).mid(3, 9).toHex(), record.toLatin1().toLower());
        load({"2,1,0,0,3,12,5,", "2,0,0,0,3,13,6,"}, {});
        QCOMPARE(m_page->sendRowStrings(), QStringList({"2,1,0,0,3,12,5,", "2,0,0,0,3,13,6,"}));
        QCOMPARE(combo(true, 1, 1)->count(), 1); // data-frame rows offer only "数据帧"
    }

    // From CAN mode 2, then `mode`: protocol and length shown, which protocols and which of
    // lengths 8, 动态 and 64 are selectable.
    void canModeSend_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("after");
        QTest::newRow("classic: FD row falls back to CAN, length to 8") << 0 << "2,0,0,2,14,1,1," << "CAN 8 100 110";
        QTest::newRow("classic: dynamic length stays") << 0 << "2,0,0,1,15,1,1," << "CAN 动态 100 110";
        QTest::newRow("FD: FD加速 becomes CANFD") << 1 << "2,0,0,2,14,1,1," << "CANFD 64 110 111";
        QTest::newRow("FD加速: nothing changes") << 2 << "2,0,0,2,14,1,1," << "FD加速 64 111 111";
        QTest::newRow("FD加速: CAN row keeps short lengths only") << 2 << "2,0,0,0,3,1,1," << "CAN 4 111 110";
    }
    void canModeSend()
    {
        QFETCH(int, mode);
        QFETCH(QString, row);
        m_page->applyCanMode(2);
        load({row}, {});
        m_page->applyCanMode(mode);
        QComboBox *protocol = combo(true, 0, 3), *length = combo(true, 0, 4);
        const QString lengths = enabled(length, {length->findText("8"), length->findText("动态"), length->findText("64")});
        QTEST(QStringList({protocol->currentText(), length->currentText(), enabled(protocol, {0, 1, 2}), lengths}).join(' '), "after");
    }

    // A mode change leaves the selected send row alone; receive counts above 4 are for CAN FD only.
    void canModeOtherRows()
    {
        m_page->applyCanMode(2);
        load({"2,0,0,0,4,1,1,", "2,0,0,1,14,2,2,"}, {"2,1,0,31,"});
        table(true)->selectRow(0);
        QComboBox *count = combo(false, 0, 3);
        m_page->applyCanMode(0);
        QCOMPARE(combo(true, 0, 4)->currentText() + combo(true, 1, 4)->currentText(), QString("58"));
        QCOMPARE(count->currentText() + " " + enabled(count, {3, 4, 31}), QString("4 100"));
        m_page->applyCanMode(1);
        QCOMPARE(count->currentText() + " " + enabled(count, {3, 4, 31}), QString("4 111"));
    }

    void newRowAsksForMode()
    {
        int asked = 0, answer = 1;
        connect(m_page, &CanMappingWidget::getcantype, m_page, [&] {
            ++asked;
            m_page->setCanMode(answer);
        });
        m_page->onActionSendMappingAdd();
        QCOMPARE(enabled(combo(true, 0, 3), {1, 2}), QString("10"));
        answer = 0;
        m_page->onActionRecvMappingAdd();
        QCOMPARE(enabled(combo(false, 0, 3), {4}), QString("0"));
        answer = 2;
        m_page->readRecvBlock(frame(0x22, 8, {"0100000001000101", "0100000002000201"}, 265));
        QCOMPARE(enabled(combo(false, 1, 3), {31}), QString("1"));
        QCOMPARE(asked, 4);
    }

    void rowHandlersActOnSelectedRow()
    {
        m_page->applyCanMode(2);
        load({"2,1,0,0,3,1,1,", "2,0,0,0,0,2,2,"}, {});
        table(true)->selectRow(1);
        QComboBox *protocol = combo(true, 1, 3), *length = combo(true, 1, 4);
        protocol->setCurrentIndex(1);
        QCOMPARE(enabled(length, {length->findText("64")}), QString("1"));
        length->setCurrentIndex(length->findText("64"));
        protocol->setCurrentIndex(0);
        QCOMPARE(length->currentText() + " " + enabled(length, {length->findText("12")}), QString("1 0"));
        // Back from "远程帧" to "数据帧" resets protocol and length of that row.
        table(true)->clearSelection();
        table(true)->selectRow(0);
        combo(true, 0, 2)->setCurrentIndex(0);
        combo(true, 0, 3)->setCurrentIndex(2);
        combo(true, 0, 1)->setCurrentIndex(0);
        QCOMPARE(combo(true, 0, 3)->currentText() + " " + combo(true, 0, 4)->currentText(), QString("CAN 1")); // the first entries
        // Without a selection the handlers leave every row as it is.
        table(true)->clearSelection();
        protocol->setCurrentIndex(1);
        length->setCurrentIndex(length->findText("64"));
        combo(true, 0, 1)->setCurrentIndex(1);
        QCOMPARE(length->currentText(), QString("64"));
    }

    void frameTypeResetsIdentifier()
    {
        m_page->onActionSendMappingAdd();
        edit(true, 0, 5)->setText("7AB");
        combo(true, 0, 2)->setCurrentIndex(1);
        QCOMPARE(edit(true, 0, 5)->text(), QString("00"));
        edit(true, 0, 5)->setText("1ABCDEF0");
        combo(true, 0, 2)->setCurrentIndex(0);
        QCOMPARE(edit(true, 0, 5)->text(), QString("00"));
        QVERIFY(m_boxes.isEmpty());
    }

    // Keys typed over "12", selected: an entry out of range is reported and taken back.
    void editors_data()
    {
        QTest::addColumn<bool>("send");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("frameType");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after"); // the text, then any box
        const QString id7ff = "|1 输入错误|请输入有效值: 0x00-0x7ff|OK", id29 = "|1 输入错误|请输入有效值: 0x00-0x1FFFFFFF|OK";
        const QString address = "|1  |输入错误 请输入 0 到 65535 之间的整数|OK";
        QTest::newRow("standard id above 7ff") << true << 5 << 0 << "800" << "12" + id7ff;
        QTest::newRow("standard id in range") << true << 5 << 0 << "7ff" << "7ff";
        QTest::newRow("extended id above 1FFFFFFF") << true << 5 << 1 << "20000000" << "12" + id29;
        QTest::newRow("extended id in range") << true << 5 << 1 << "1FFFFFFF" << "1FFFFFFF";
        QTest::newRow("send address above 65535") << true << 6 << 0 << "65536" << "12" + address;
        QTest::newRow("send address 65535") << true << 6 << 0 << "65535" << "65535";
        QTest::newRow("receive id above 1FFFFFFF") << false << 1 << 1 << "20000000" << "12" + id29;
        QTest::newRow("receive start above 65535") << false << 2 << 1 << "70000" << "12" + address;
    }
    void editors()
    {
        QFETCH(bool, send);
        QFETCH(int, column);
        QFETCH(int, frameType);
        QFETCH(QString, typed);
        send ? m_page->onActionSendMappingAdd() : m_page->onActionRecvMappingAdd();
        if (send)
            combo(true, 0, 2)->setCurrentIndex(frameType);
        QLineEdit *editor = edit(send, 0, column);
        editor->selectAll();
        QTest::keyClicks(editor, "12");
        editor->selectAll();
        QTest::keyClicks(editor, typed);
        QTEST((QStringList{editor->text()} + shown()).join('|'), "after");
    }

    // A refused table shows one warning and highlights the cells at fault.
    void validation_data()
    {
        QTest::addColumn<QStringList>("send");
        QTest::addColumn<QStringList>("recv");
        QTest::addColumn<QString>("box"); // empty: accepted
        QTest::addColumn<QStringList>("cells");
        const auto box = [](const QString &title, const QString &text) { return "2 " + title + "|" + text + "|请修改后重试"; };
        const QString sendIdTwice = box("ID重复", "CAN发送映射列表存在重复的ID"), overlap = box("区间重复", "CAN接收映射列表存在区间重复");
        const QStringList none, ranges{"recv 1:2", "recv 1:3"};
        QTest::newRow("all fine") << QStringList{"2,0,0,0,14,1,10,", "2,0,0,0,14,2,11,"} << QStringList{"2,1,0,3,", "2,1ff,4,3,"} << "" << none;
        QTest::newRow("send id empty") << QStringList{"2,0,0,0,0,1,1,", "2,0,0,0,0, ,2,"} << none << box("ID错误", "请输入有效值") << QStringList{"send 1:5"};
        QTest::newRow("send ids equal by value") << QStringList{"2,0,0,0,0,7FF,1,", "2,0,1,0,0,7ff,2,"} << none << sendIdTwice << QStringList{"send 1:5"};
        QTest::newRow("send address empty") << QStringList{"2,0,0,0,0,1,,"} << none << box("地址错误", "请输入有效值") << QStringList{"send 0:6"};
        QTest::newRow("send addresses equal by value") << QStringList{"2,0,0,0,0,1,010,", "2,0,0,0,0,2,10,"} << none << box("寄存器地址重复", "CAN发送映射列表存在重复地址") << QStringList{"send 1:6"};
        QTest::newRow("send checked before receive") << QStringList{"2,0,0,0,0,1,5,", "2,0,0,0,0,1,6,"} << QStringList{"2,,0,0,"} << sendIdTwice << QStringList{"send 1:5"};
        QTest::newRow("receive id empty") << none << QStringList{"2,1,0,0,", "2,,10,0,"} << box("ID错误", "请输入有效值") << QStringList{"recv 1:1"};
        QTest::newRow("receive start empty") << none << QStringList{"2,1,,0,"} << box("地址错误", "请输入有效值") << QStringList{"recv 0:2"};
        QTest::newRow("receive count unselected") << none << QStringList{"2,1,0,-1,"} << "2 参数错误|地址或映射数量格式错误或无效|请检查后重试" << QStringList{"recv 0:2", "recv 0:3"};
        QTest::newRow("receive end above 65535") << none << QStringList{"2,1,65530,7,"} << box("地址超出范围", "结束地址超出 65535 (0xFFFF)\n当前结束地址：65537 (0x10001)") << QStringList{"recv 0:2", "recv 0:3"};
        QTest::newRow("receive end at 65535") << none << QStringList{"2,1,65532,3,"} << "" << none;
        QTest::newRow("receive ids equal by value") << none << QStringList{"2,18FF50E5,0,0,", "2,18ff50e5,1,0,"} << box("ID重复", "CAN接收映射列表存在重复的ID") << QStringList{"recv 1:1"};
        QTest::newRow("same id in both tables") << QStringList{"2,0,0,0,0,123,0,"} << QStringList{"2,123,0,0,"} << "" << none;
        QTest::newRow("touching ranges") << none << QStringList{"2,1,0,3,", "2,2,4,3,"} << "" << none;
        QTest::newRow("overlapping ranges") << none << QStringList{"2,1,0,3,", "2,2,3,3,"} << overlap << ranges;
        QTest::newRow("enclosed range first") << none << QStringList{"2,2,10,1,", "2,1,0,31,"} << overlap << QStringList{"recv 0:2", "recv 0:3"};
        QTest::newRow("start read as decimal") << none << QStringList{"2,1,010,0,", "2,2,10,0,"} << overlap << ranges;
    }
    void validation()
    {
        QFETCH(QStringList, send);
        QFETCH(QStringList, recv);
        QFETCH(QString, box);
        m_page->applyCanMode(2);
        load(send, recv);
        m_boxes.clear(); // loading may have flagged the texts already
        QCOMPARE(m_page->validateMappings(), box.isEmpty());
        QCOMPARE(shown(), box.isEmpty() ? QStringList() : QStringList{box});
        QTEST(highlighted(), "cells");
    }

    void validationClearsOldHighlight()
    {
        load({"2,0,0,0,0,5,1,", "2,0,0,0,0,5,2,"}, {"2,1,0,0,", "2,2,0,0,"});
        QVERIFY(!m_page->validateMappings());
        QCOMPARE(highlighted(), QStringList{"send 1:5"});
        edit(true, 1, 5)->setText("6");
        QVERIFY(!m_page->validateMappings());
        QCOMPARE(highlighted(), (QStringList{"recv 1:2", "recv 1:3"}));
        edit(false, 1, 2)->setText("1");
        QVERIFY(m_page->validateMappings());
        QCOMPARE(highlighted(), QStringList());
    }

    // Rows go to and from the file as their strings; missing fields read as empty, and an entry
    // that is not a string gives an unchecked row.
    void fileRows()
    {
        m_page->onActionSendMappingAdd();
        m_page->onActionRecvMappingAdd();
        QCOMPARE(m_page->sendRowStrings() + m_page->recvRowStrings(), (QStringList{"2,0,0,0,0,00,00,", "2,00,00,0,"}));
        const QStringList send{"2,0,1,2,15,1ABC,100,", "0,0,0,1,9,7f,3,"}, recv{"2,18FF50E5,100,3,", "1,5,0,31,"};
        load(send, recv);
        QCOMPARE(m_page->toJson(), (QJsonObject{{"sendMap", QJsonArray::fromStringList(send)}, {"recMap", QJsonArray::fromStringList(recv)}}));
        QCOMPARE((QStringList{combo(true, 0, 2)->currentText(), combo(true, 0, 3)->currentText(), combo(true, 0, 4)->currentText(),
                              edit(true, 0, 5)->text(), edit(true, 0, 6)->text()}),
                 (QStringList{"扩展帧", "FD加速", "动态", "1ABC", "100"}));
        QCOMPARE(table(true)->item(0, 0)->checkState(), Qt::Checked);
        load({"2", ""}, {"2,7", ""});
        QCOMPARE(m_page->sendRowStrings() + m_page->recvRowStrings(), (QStringList{"2,0,0,0,0,,,", "0,0,0,0,0,,,", "2,7,,0,", "0,,,0,"}));
        m_page->fromJson({{"sendMap", QJsonArray{"2,0,1,2,15,1ABC,100,", 42, QJsonObject()}}});
        QCOMPARE(m_page->sendRowStrings() + m_page->recvRowStrings(), (QStringList{send.at(0), "0,0,0,0,0,,,", "0,0,0,0,0,,,"}));
    }

    // 32 rows at most, from a file or from the menu; a full table fills every slot.
    void rowLimit()
    {
        QStringList send, recv, sendRecords, recvRecords;
        for (int i = 0; i < 40; ++i) {
            send << QString("2,0,0,0,0,%1,%1,").arg(i);
            recv << QString("2,%1,%1,0,").arg(i);
            const QString id = QString::number(i).rightJustified(8, '0'), address = QString::number(i, 16).rightJustified(4, '0');
            sendRecords << "01" + id + address + "0001";
            recvRecords << "01" + id + address + "01";
        }
        load(send.mid(0, 32), {});
        QVERIFY(m_boxes.isEmpty());
        load(send, recv.mid(0, 35));
        QCOMPARE(m_page->sendRowStrings() + m_page->recvRowStrings(), send.mid(0, 32) + recv.mid(0, 32));
        action(true, 1)->trigger();
        m_page->onActionRecvMappingAdd();
        QCOMPARE(shown(), repeated(4, "1 提示|最多可以添加32个记录|OK"));
        QCOMPARE(written(true).toHex(), frame(0x25, 9, sendRecords.mid(0, 32), 299).toHex());
        QCOMPARE(written(false).toHex(), frame(0x23, 8, recvRecords.mid(0, 32), 263).toHex());
    }

    void deleteAndClear()
    {
        load({"2,0,0,0,0,0,0,", "2,0,0,0,0,1,1,", "2,0,0,0,0,2,2,", "2,0,0,0,0,3,3,"}, {"2,1,1,0,"});
        action(true, 0)->trigger();
        QCOMPARE(table(true)->rowCount(), 4); // nothing selected, nothing removed
        QItemSelectionModel *selection = table(true)->selectionModel();
        for (auto [row, column] : {std::pair{3, 0}, {1, 2}, {1, 5}})
            selection->select(table(true)->model()->index(row, column), QItemSelectionModel::Select);
        action(true, 0)->trigger();
        QCOMPARE(m_page->sendRowStrings(), QStringList({"2,0,0,0,0,0,0,", "2,0,0,0,0,2,2,"}));
        action(true, 2)->trigger();
        QCOMPARE(m_page->sendRowStrings() + m_page->recvRowStrings(), QStringList{"2,1,1,0,"});
        action(false, 2)->trigger();
        QCOMPARE(table(false)->rowCount(), 0);
    }
};

QTEST_MAIN(Tst_canmapping)
#include "tst_canmapping.moc"
