#include "app/MessageBox.h"
#include "pages/CanMappingWidget.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QLineEdit>
#include <QMenu>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QtTest>

// Exercises the mapping page the way the central widget and the user reach
// it: blocks in and out, the CAN mode, the editors, validation and file rows.
class Tst_canmapping : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void form();
    void writeSendBlock_data();
    void writeSendBlock();
    void fullTable();
    void writeRecvBlock_data();
    void writeRecvBlock();
    void readSendBlock_data();
    void readSendBlock();
    void readRecvBlock_data();
    void readRecvBlock();
    void remoteFrameSurvivesReadAndWrite();
    void canModeSend_data();
    void canModeSend();
    void canModeLeavesSelectedRowAlone();
    void canModeRecv();
    void newRowAsksForMode();
    void rowHandlersActOnSelectedRow();
    void frameTypeResetsIdentifier();
    void editors_data();
    void editors();
    void validation_data();
    void validation();
    void validationClearsOldHighlight();
    void rowStrings_data();
    void rowStrings();
    void loadedRowShowsFields();
    void oversizedFile();
    void deleteAndClear();

private:
    QTableWidget *sendTable() const { return m_page->findChild<QTableWidget *>("m_tableWidgetCanSendMapping"); }
    QTableWidget *recvTable() const { return m_page->findChild<QTableWidget *>("m_tableWidgetRecvMapping"); }
    QComboBox *combo(QTableWidget *t, int row, int col) const { return qobject_cast<QComboBox *>(t->cellWidget(row, col)); }
    QLineEdit *edit(QTableWidget *t, int row, int col) const { return qobject_cast<QLineEdit *>(t->cellWidget(row, col)); }
    QMenu *menu(const char *name) const { return m_page->findChild<QMenu *>(name); }
    void load(const QStringList &send, const QStringList &recv);

    CanMappingWidget *m_page = nullptr;
    QList<MessageRecord> m_boxes;
};

namespace {

const QString kHighlight = QStringLiteral("background-color: #FFB6C1;");

bool entryEnabled(QComboBox *combo, int index)
{
    return qobject_cast<QStandardItemModel *>(combo->model())->item(index)->isEnabled();
}

QByteArray header(char command)
{
    return QByteArray::fromHex("56AA") + command;
}

// A reply frame of the given length with the records from slot 0 on.
QByteArray reply(char command, int recordSize, const QStringList &records, int length)
{
    QByteArray frame = header(command) + QByteArray(length - 3, '\0');
    for (int i = 0; i < records.size(); ++i)
        frame.replace(3 + recordSize * i, recordSize, QByteArray::fromHex(records.at(i).toLatin1()));
    return frame.left(length);
}

} // namespace

void Tst_canmapping::init()
{
    m_boxes.clear();
    setMessageObserver([this](const MessageRecord &box) { m_boxes << box; });
    m_page = new CanMappingWidget;
}

void Tst_canmapping::cleanup()
{
    delete m_page;
    setMessageObserver({});
}

void Tst_canmapping::load(const QStringList &send, const QStringList &recv)
{
    m_page->fromJson({{"sendMap", QJsonArray::fromStringList(send)}, {"recMap", QJsonArray::fromStringList(recv)}});
}

void Tst_canmapping::form()
{
    QCOMPARE(m_page->objectName(), QString("CanMappingWidgetClass"));
    QCOMPARE(m_page->findChild<QGroupBox *>("m_groupBoxSend")->title(), QString("CAN发送映射列表"));
    QCOMPARE(m_page->findChild<QGroupBox *>("m_groupBoxRecvMapping")->title(), QString("CAN接收映射列表"));
    QCOMPARE(sendTable()->styleSheet(), QString("gridline-color: rgb(207,207, 207)\n"));
    QVERIFY(sendTable()->font().bold());
    QVERIFY(!recvTable()->font().bold());

    const QStringList sendHeaders{" ", "帧格式", "帧类型", "CAN协议", "数据长度", "CAN ID(HEX)", "寄存器地址(DEC)"};
    const QStringList recvHeaders{" ", "CAN ID(HEX)", "寄存器首地址(DEC)", "映射数量"};
    const QList<QPair<QTableWidget *, QStringList>> tables{{sendTable(), sendHeaders}, {recvTable(), recvHeaders}};
    for (const auto &table : tables) {
        QCOMPARE(table.first->columnCount(), table.second.size());
        for (int c = 0; c < table.second.size(); ++c)
            QCOMPARE(table.first->horizontalHeaderItem(c)->text(), table.second.at(c));
        QCOMPARE(table.first->columnWidth(0), 30);
        QCOMPARE(table.first->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(table.first->contextMenuPolicy(), Qt::CustomContextMenu);
        QVERIFY(!table.first->horizontalHeader()->sectionsClickable());
    }
    QCOMPARE(sendTable()->columnWidth(4), 80);
    QCOMPARE(recvTable()->columnWidth(2), 130);

    for (const char *name : {"sendMappingMenu", "recvMappingMenu"}) {
        QStringList texts;
        for (QAction *action : menu(name)->actions())
            texts << action->text();
        QCOMPARE(texts, QStringList({"删除", "添加", "清空"}));
    }
    m_page->onActionSendMappingAdd();
    QCOMPARE(sendTable()->rowHeight(0), 23);
}

void Tst_canmapping::writeSendBlock_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("empty table") << QStringList() << QStringList();
    QTest::newRow("fresh row") << QStringList{"2,0,0,0,0,00,00,"} << QStringList{"010000000000000001"};
    QTest::newRow("extended FD accelerated 64")
        << QStringList{"2,0,1,2,14,1FFFFFFF,40000,"} << QStringList{"011FFFFFFF9C40B040"};
    QTest::newRow("CANFD 12 standard") << QStringList{"2,0,0,1,8,7ff,1,"} << QStringList{"01000007FF0001200C"};
    QTest::newRow("dynamic length") << QStringList{"2,0,0,0,15,1,2,"} << QStringList{"0100000001000200FF"};
    QTest::newRow("no length selected") << QStringList{"2,0,0,0,-1,1,2,"} << QStringList{"010000000100020000"};
    QTest::newRow("unchecked and partially checked")
        << QStringList{"0,0,0,0,0,5,6,", "1,0,0,0,0,7,8,"} << QStringList{"000000000500060001", "010000000700080001"};
    QTest::newRow("empty texts count as zero")
        << QStringList{"2,0,0,0,0,,,"} << QStringList{"010000000000000001"};
}

void Tst_canmapping::writeSendBlock()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, records);
    load(rows, {});
    QByteArray frame = header(0x25);
    m_page->writeSendBlock(frame);
    QCOMPARE(frame.toHex(), reply(0x25, 9, records, 3 + 296).toHex());
}

void Tst_canmapping::fullTable()
{
    for (int i = 0; i < 32; ++i)
        menu("sendMappingMenu")->actions().at(1)->trigger();
    QVERIFY(m_boxes.isEmpty());
    menu("sendMappingMenu")->actions().at(1)->trigger();
    QCOMPARE(sendTable()->rowCount(), 32);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).icon, QMessageBox::Information);
    QCOMPARE(m_boxes.at(0).title, QString("提示"));
    QCOMPARE(m_boxes.at(0).text, QString("最多可以添加32个记录"));

    QByteArray frame = header(0x25);
    m_page->writeSendBlock(frame);
    QCOMPARE(frame.size(), 299);
    for (int k = 0; k < 32; ++k)
        QCOMPARE(frame.mid(3 + 9 * k, 9).toHex(), QByteArray("010000000000000001"));
    QCOMPARE(frame.mid(291), QByteArray(8, '\0'));

    for (int i = 0; i < 33; ++i)
        m_page->onActionRecvMappingAdd();
    QCOMPARE(recvTable()->rowCount(), 32);
    QCOMPARE(m_boxes.size(), 2);
    frame = header(0x23);
    m_page->writeRecvBlock(frame);
    QCOMPARE(frame.size(), 263);
    QCOMPARE(frame.mid(3 + 8 * 31, 8).toHex(), QByteArray("0100000000000001"));
}

void Tst_canmapping::writeRecvBlock_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("empty table") << QStringList() << QStringList();
    QTest::newRow("fresh row") << QStringList{"2,00,00,0,"} << QStringList{"0100000000000001"};
    QTest::newRow("18FF50E5 at 100, 4 registers") << QStringList{"2,18FF50E5,100,3,"} << QStringList{"0118FF50E5006404"};
    QTest::newRow("partially checked is not enabled") << QStringList{"1,5,6,0,"} << QStringList{"0000000005000601"};
    QTest::newRow("no count selected") << QStringList{"2,1,2,-1,"} << QStringList{"0100000001000200"};
}

void Tst_canmapping::writeRecvBlock()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, records);
    m_page->applyCanMode(2);
    load({}, rows);
    QByteArray frame = header(0x23);
    m_page->writeRecvBlock(frame);
    QCOMPARE(frame.toHex(), reply(0x23, 8, records, 3 + 260).toHex());
}

void Tst_canmapping::readSendBlock_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("length");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("leading zeros dropped, zero shows 00")
        << QStringList{"010000012300050008", "010000000000000001"} << 301
        << QStringList{"2,0,0,0,7,123,5,", "2,0,0,0,0,00,0,"};
    QTest::newRow("extended FD accelerated 64") << QStringList{"011FFFFFFF9C40B040"} << 301
                                                << QStringList{"2,0,1,2,14,1fffffff,40000,"};
    QTest::newRow("CANFD dynamic") << QStringList{"0100000010000120FF"} << 301
                                   << QStringList{"2,0,0,1,15,10,1,"};
    QTest::newRow("switch bit alone keeps CAN, unknown length unselected")
        << QStringList{"010000001000011009"} << 301 << QStringList{"2,0,0,0,-1,10,1,"};
    QTest::newRow("disabled slot ends the list")
        << QStringList{"010000000100010001", "010000000200020001", "000000000300030001", "010000000400040001"}
        << 301 << QStringList{"2,0,0,0,0,1,1,", "2,0,0,0,0,2,2,"};
    QTest::newRow("frame cut inside the second slot")
        << QStringList{"010000000100010001", "010000000200020001"} << 3 + 9 + 5 << QStringList{"2,0,0,0,0,1,1,"};
    QTest::newRow("frame of the header only") << QStringList() << 3 << QStringList();
}

void Tst_canmapping::readSendBlock()
{
    QFETCH(QStringList, records);
    QFETCH(int, length);
    QFETCH(QStringList, rows);
    m_page->onActionSendMappingAdd(); // replaced by the reply
    m_page->readSendBlock(reply(0x24, 9, records, length));
    QCOMPARE(m_page->sendRowStrings(), rows);
    QVERIFY(m_boxes.isEmpty());
}

void Tst_canmapping::readRecvBlock_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("length");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("18ff50e5 at 100, 4 registers") << QStringList{"0118FF50E5006404"} << 265
                                                  << QStringList{"2,18ff50e5,100,3,"};
    QTest::newRow("count 40 leaves no selection") << QStringList{"0100000000000028"} << 265
                                                  << QStringList{"2,00,0,-1,"};
    QTest::newRow("disabled slot ends the list")
        << QStringList{"0100000001000101", "0000000002000201", "0100000003000301"} << 265
        << QStringList{"2,1,1,0,"};
    QTest::newRow("frame cut inside the first slot") << QStringList{"0100000001000101"} << 3 + 7 << QStringList();
}

void Tst_canmapping::readRecvBlock()
{
    QFETCH(QStringList, records);
    QFETCH(int, length);
    QFETCH(QStringList, rows);
    m_page->onActionRecvMappingAdd();
    m_page->readRecvBlock(reply(0x22, 8, records, length));
    QCOMPARE(m_page->recvRowStrings(), rows);
}

void Tst_canmapping::remoteFrameSurvivesReadAndWrite()
{
    const QString record = "010000001200054008";
    m_page->readSendBlock(reply(0x24, 9, {record}, 301));
    QComboBox *format = combo(sendTable(), 0, 1);
    QCOMPARE(format->currentText(), QString("远程帧"));
    QCOMPARE(m_page->sendRowStrings(), QStringList{"2,1,0,0,7,12,5,"});
    QByteArray frame = header(0x25);
    m_page->writeSendBlock(frame);
    QCOMPARE(frame.mid(3, 9).toHex(), record.toLatin1().toLower());

    load({"2,1,0,0,3,12,5,", "2,0,0,0,3,13,6,"}, {});
    QCOMPARE(m_page->sendRowStrings(), QStringList({"2,1,0,0,3,12,5,", "2,0,0,0,3,13,6,"}));
    QCOMPARE(combo(sendTable(), 1, 1)->count(), 1); // data-frame rows offer only "数据帧"
}

void Tst_canmapping::canModeSend_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QList<bool>>("protocolsEnabled");
    QTest::addColumn<bool>("longLengthsEnabled");

    QTest::newRow("classic: FD row falls back to CAN, length to 8")
        << 0 << "2,0,0,2,14,1,1," << "CAN" << "8" << QList<bool>{true, false, false} << false;
    QTest::newRow("classic: dynamic length stays") << 0 << "2,0,0,1,15,1,1," << "CAN" << "动态"
                                                   << QList<bool>{true, false, false} << false;
    QTest::newRow("FD: accelerated becomes CANFD") << 1 << "2,0,0,2,14,1,1," << "CANFD" << "64"
                                                   << QList<bool>{true, true, false} << true;
    QTest::newRow("FD accelerated: nothing changes") << 2 << "2,0,0,2,14,1,1," << "FD加速" << "64"
                                                     << QList<bool>{true, true, true} << true;
    QTest::newRow("FD accelerated: CAN row keeps short lengths only")
        << 2 << "2,0,0,0,3,1,1," << "CAN" << "4" << QList<bool>{true, true, true} << false;
}

void Tst_canmapping::canModeSend()
{
    QFETCH(int, mode);
    QFETCH(QString, row);
    QFETCH(QString, protocol);
    QFETCH(QString, length);
    QFETCH(QList<bool>, protocolsEnabled);
    QFETCH(bool, longLengthsEnabled);

    m_page->applyCanMode(2);
    load({row}, {});
    m_page->applyCanMode(mode);
    QComboBox *protocolBox = combo(sendTable(), 0, 3);
    QComboBox *lengthBox = combo(sendTable(), 0, 4);
    QCOMPARE(protocolBox->currentText(), protocol);
    QCOMPARE(lengthBox->currentText(), length);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(entryEnabled(protocolBox, i), protocolsEnabled.at(i));
    QCOMPARE(entryEnabled(lengthBox, lengthBox->findText("64")), longLengthsEnabled);
    QVERIFY(entryEnabled(lengthBox, lengthBox->findText("8")));
    QVERIFY(entryEnabled(lengthBox, lengthBox->findText("动态")));
}

void Tst_canmapping::canModeLeavesSelectedRowAlone()
{
    m_page->applyCanMode(2);
    load({"2,0,0,0,4,1,1,", "2,0,0,1,14,2,2,"}, {});
    sendTable()->selectRow(0);
    m_page->applyCanMode(0);
    QCOMPARE(combo(sendTable(), 0, 4)->currentText(), QString("5"));
    QCOMPARE(combo(sendTable(), 1, 4)->currentText(), QString("8"));
}

void Tst_canmapping::canModeRecv()
{
    m_page->applyCanMode(2);
    load({}, {"2,1,0,31,"});
    QComboBox *count = combo(recvTable(), 0, 3);
    m_page->applyCanMode(0);
    QCOMPARE(count->currentText(), QString("4"));
    QVERIFY(entryEnabled(count, 3));
    QVERIFY(!entryEnabled(count, 4));
    QVERIFY(!entryEnabled(count, 31));
    m_page->applyCanMode(1);
    QCOMPARE(count->currentText(), QString("4"));
    QVERIFY(entryEnabled(count, 31));
}

void Tst_canmapping::newRowAsksForMode()
{
    int asked = 0;
    int answer = 1;
    connect(m_page, &CanMappingWidget::getcantype, m_page, [&] {
        ++asked;
        m_page->setCanMode(answer);
    });
    m_page->onActionSendMappingAdd();
    QComboBox *protocol = combo(sendTable(), 0, 3);
    QVERIFY(entryEnabled(protocol, 1));
    QVERIFY(!entryEnabled(protocol, 2));

    answer = 0;
    m_page->onActionRecvMappingAdd();
    QVERIFY(!entryEnabled(combo(recvTable(), 0, 3), 4));
    answer = 2;
    m_page->readRecvBlock(reply(0x22, 8, {"0100000001000101", "0100000002000201"}, 265));
    QVERIFY(entryEnabled(combo(recvTable(), 1, 3), 31));
    QCOMPARE(asked, 4);
}

void Tst_canmapping::rowHandlersActOnSelectedRow()
{
    m_page->applyCanMode(2);
    load({"2,1,0,0,3,1,1,", "2,0,0,0,0,2,2,"}, {});
    sendTable()->selectRow(1);
    QComboBox *protocol = combo(sendTable(), 1, 3);
    QComboBox *length = combo(sendTable(), 1, 4);
    protocol->setCurrentIndex(1);
    QVERIFY(entryEnabled(length, length->findText("64")));
    length->setCurrentIndex(length->findText("64"));
    protocol->setCurrentIndex(0);
    QCOMPARE(length->currentText(), QString("1"));
    QVERIFY(!entryEnabled(length, length->findText("12")));

    // Back from "远程帧" to "数据帧" resets protocol and length of that row.
    sendTable()->clearSelection();
    sendTable()->selectRow(0);
    combo(sendTable(), 0, 2)->setCurrentIndex(0);
    combo(sendTable(), 0, 3)->setCurrentIndex(2);
    combo(sendTable(), 0, 1)->setCurrentIndex(0);
    QCOMPARE(combo(sendTable(), 0, 3)->currentIndex(), 0);
    QCOMPARE(combo(sendTable(), 0, 4)->currentIndex(), 0);

    // Without a selection the handlers leave every row as it is.
    sendTable()->clearSelection();
    protocol->setCurrentIndex(1);
    length->setCurrentIndex(length->findText("64"));
    combo(sendTable(), 0, 1)->setCurrentIndex(1);
    QCOMPARE(length->currentText(), QString("64"));
}

void Tst_canmapping::frameTypeResetsIdentifier()
{
    m_page->onActionSendMappingAdd();
    QLineEdit *id = edit(sendTable(), 0, 5);
    id->setText("7AB");
    combo(sendTable(), 0, 2)->setCurrentIndex(1);
    QCOMPARE(id->text(), QString("00"));
    id->setText("1ABCDEF0");
    QVERIFY(m_boxes.isEmpty());
    combo(sendTable(), 0, 2)->setCurrentIndex(0);
    QCOMPARE(id->text(), QString("00"));
}

void Tst_canmapping::editors_data()
{
    QTest::addColumn<bool>("send");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("frameType");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kept");

    QTest::newRow("standard id above 7ff") << true << 5 << 0 << "800" << "输入错误" << "请输入有效值: 0x00-0x7ff" << "12";
    QTest::newRow("standard id in range") << true << 5 << 0 << "7ff" << "" << "" << "7ff";
    QTest::newRow("extended id above 1FFFFFFF")
        << true << 5 << 1 << "20000000" << "输入错误" << "请输入有效值: 0x00-0x1FFFFFFF" << "12";
    QTest::newRow("extended id in range") << true << 5 << 1 << "1FFFFFFF" << "" << "" << "1FFFFFFF";
    QTest::newRow("send address above 65535")
        << true << 6 << 0 << "65536" << " " << "输入错误 请输入 0 到 65535 之间的整数" << "12";
    QTest::newRow("send address 65535") << true << 6 << 0 << "65535" << "" << "" << "65535";
    QTest::newRow("receive id above 1FFFFFFF")
        << false << 1 << 1 << "20000000" << "输入错误" << "请输入有效值: 0x00-0x1FFFFFFF" << "12";
    QTest::newRow("receive id extended") << false << 1 << 1 << "18FF50E5" << "" << "" << "18FF50E5";
    QTest::newRow("receive start above 65535")
        << false << 2 << 1 << "70000" << " " << "输入错误 请输入 0 到 65535 之间的整数" << "12";
}

// Keys typed over a selected text: an entry out of range is reported and
// taken back, so the editor never keeps it.
void Tst_canmapping::editors()
{
    QFETCH(bool, send);
    QFETCH(int, column);
    QFETCH(int, frameType);
    QFETCH(QString, typed);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, kept);

    send ? m_page->onActionSendMappingAdd() : m_page->onActionRecvMappingAdd();
    QTableWidget *table = send ? sendTable() : recvTable();
    if (send)
        combo(table, 0, 2)->setCurrentIndex(frameType);
    QLineEdit *editor = edit(table, 0, column);
    editor->selectAll();
    QTest::keyClicks(editor, "12");
    editor->selectAll();
    QTest::keyClicks(editor, typed);
    QCOMPARE(editor->text(), kept);
    if (title.isEmpty()) {
        QVERIFY(m_boxes.isEmpty());
        return;
    }
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().icon, QMessageBox::Information);
    QCOMPARE(m_boxes.first().title, title);
    QCOMPARE(m_boxes.first().text, text);
}

void Tst_canmapping::validation_data()
{
    QTest::addColumn<QStringList>("send");
    QTest::addColumn<QStringList>("recv");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("inSend");
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<int>>("columns");

    const QString fix = "请修改后重试";
    const QStringList none;
    QTest::newRow("all fine") << QStringList{"2,0,0,0,14,1,10,", "2,0,0,0,14,2,11,"}
                              << QStringList{"2,1,0,3,", "2,1ff,4,3,"} << "" << "" << "" << true << 0 << QList<int>();
    QTest::newRow("send id empty") << QStringList{"2,0,0,0,0,1,1,", "2,0,0,0,0, ,2,"} << none << "ID错误"
                                   << "请输入有效值" << fix << true << 1 << QList<int>{5};
    QTest::newRow("send ids equal by value") << QStringList{"2,0,0,0,0,7FF,1,", "2,0,1,0,0,7ff,2,"} << none
                                             << "ID重复" << "CAN发送映射列表存在重复的ID" << fix << true << 1
                                             << QList<int>{5};
    QTest::newRow("send address empty") << QStringList{"2,0,0,0,0,1,,"} << none << "地址错误" << "请输入有效值"
                                        << fix << true << 0 << QList<int>{6};
    QTest::newRow("send addresses equal by value")
        << QStringList{"2,0,0,0,0,1,010,", "2,0,0,0,0,2,10,"} << none << "寄存器地址重复"
        << "CAN发送映射列表存在重复地址" << fix << true << 1 << QList<int>{6};
    QTest::newRow("send checked before receive")
        << QStringList{"2,0,0,0,0,1,5,", "2,0,0,0,0,1,6,"} << QStringList{"2,,0,0,"} << "ID重复"
        << "CAN发送映射列表存在重复的ID" << fix << true << 1 << QList<int>{5};
    QTest::newRow("receive id empty") << none << QStringList{"2,1,0,0,", "2,,10,0,"} << "ID错误" << "请输入有效值"
                                      << fix << false << 1 << QList<int>{1};
    QTest::newRow("receive start empty") << none << QStringList{"2,1,,0,"} << "地址错误" << "请输入有效值" << fix
                                         << false << 0 << QList<int>{2};
    QTest::newRow("receive count unselected") << none << QStringList{"2,1,0,-1,"} << "参数错误"
                                              << "地址或映射数量格式错误或无效" << "请检查后重试" << false << 0
                                              << QList<int>{2, 3};
    QTest::newRow("receive end above 65535")
        << none << QStringList{"2,1,65530,7,"} << "地址超出范围"
        << "结束地址超出 65535 (0xFFFF)\n当前结束地址：65537 (0x10001)" << fix << false << 0 << QList<int>{2, 3};
    QTest::newRow("receive end at 65535") << none << QStringList{"2,1,65532,3,"} << "" << "" << "" << false << 0
                                          << QList<int>();
    QTest::newRow("receive ids equal by value") << none << QStringList{"2,18FF50E5,0,0,", "2,18ff50e5,1,0,"}
                                                << "ID重复" << "CAN接收映射列表存在重复的ID" << fix << false << 1
                                                << QList<int>{1};
    QTest::newRow("same id in both tables") << QStringList{"2,0,0,0,0,123,0,"} << QStringList{"2,123,0,0,"} << ""
                                            << "" << "" << false << 0 << QList<int>();
    QTest::newRow("touching ranges") << none << QStringList{"2,1,0,3,", "2,2,4,3,"} << "" << "" << "" << false << 0
                                     << QList<int>();
    QTest::newRow("overlapping ranges") << none << QStringList{"2,1,0,3,", "2,2,3,3,"} << "区间重复"
                                        << "CAN接收映射列表存在区间重复" << fix << false << 1 << QList<int>{2, 3};
    QTest::newRow("enclosed range second") << none << QStringList{"2,1,0,31,", "2,2,10,1,"} << "区间重复"
                                           << "CAN接收映射列表存在区间重复" << fix << false << 1 << QList<int>{2, 3};
    QTest::newRow("enclosed range first") << none << QStringList{"2,2,10,1,", "2,1,0,31,"} << "区间重复"
                                          << "CAN接收映射列表存在区间重复" << fix << false << 0 << QList<int>{2, 3};
    QTest::newRow("start read as decimal") << none << QStringList{"2,1,010,0,", "2,2,10,0,"} << "区间重复"
                                           << "CAN接收映射列表存在区间重复" << fix << false << 1 << QList<int>{2, 3};
}

void Tst_canmapping::validation()
{
    QFETCH(QStringList, send);
    QFETCH(QStringList, recv);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, button);
    QFETCH(bool, inSend);
    QFETCH(int, row);
    QFETCH(QList<int>, columns);

    m_page->applyCanMode(2);
    load(send, recv);
    m_boxes.clear(); // loading may have flagged the texts already
    QCOMPARE(m_page->validateMappings(), title.isEmpty());
    if (title.isEmpty()) {
        QVERIFY(m_boxes.isEmpty());
        return;
    }
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).icon, QMessageBox::Warning);
    QCOMPARE(m_boxes.at(0).title, title);
    QCOMPARE(m_boxes.at(0).text, text);
    QCOMPARE(m_boxes.at(0).buttons, QStringList{button});
    QTableWidget *table = inSend ? sendTable() : recvTable();
    for (int c = 1; c < table->columnCount(); ++c)
        QCOMPARE(table->cellWidget(row, c)->styleSheet(), columns.contains(c) ? kHighlight : QString());
}

void Tst_canmapping::validationClearsOldHighlight()
{
    load({"2,0,0,0,0,5,1,", "2,0,0,0,0,5,2,"}, {"2,1,0,0,", "2,2,0,0,"});
    QVERIFY(!m_page->validateMappings());
    QCOMPARE(edit(sendTable(), 1, 5)->styleSheet(), kHighlight);
    edit(sendTable(), 1, 5)->setText("6");
    QVERIFY(!m_page->validateMappings());
    QCOMPARE(edit(sendTable(), 1, 5)->styleSheet(), QString());
    QCOMPARE(combo(recvTable(), 1, 3)->styleSheet(), kHighlight);
    edit(recvTable(), 1, 2)->setText("1");
    QVERIFY(m_page->validateMappings());
    QCOMPARE(combo(recvTable(), 1, 3)->styleSheet(), QString());
}

void Tst_canmapping::rowStrings_data()
{
    QTest::addColumn<QStringList>("send");
    QTest::addColumn<QStringList>("recv");
    QTest::addColumn<QStringList>("sendBack");
    QTest::addColumn<QStringList>("recvBack");

    QTest::newRow("typical rows") << QStringList{"2,0,1,2,15,1ABC,100,", "0,0,0,1,9,7f,3,"}
                                  << QStringList{"2,18FF50E5,100,3,", "1,5,0,31,"}
                                  << QStringList{"2,0,1,2,15,1ABC,100,", "0,0,0,1,9,7f,3,"}
                                  << QStringList{"2,18FF50E5,100,3,", "1,5,0,31,"};
    QTest::newRow("missing fields read as empty")
        << QStringList{"2", ""} << QStringList{"2,7", ""} << QStringList{"2,0,0,0,0,,,", "0,0,0,0,0,,,"}
        << QStringList{"2,7,,0,", "0,,,0,"};
}

void Tst_canmapping::rowStrings()
{
    QFETCH(QStringList, send);
    QFETCH(QStringList, recv);
    QFETCH(QStringList, sendBack);
    QFETCH(QStringList, recvBack);
    load(send, recv);
    QCOMPARE(m_page->sendRowStrings(), sendBack);
    QCOMPARE(m_page->recvRowStrings(), recvBack);
    const QJsonObject object = m_page->toJson();
    QCOMPARE(object.value("sendMap").toArray(), QJsonArray::fromStringList(sendBack));
    QCOMPARE(object.value("recMap").toArray(), QJsonArray::fromStringList(recvBack));
}

void Tst_canmapping::loadedRowShowsFields()
{
    m_page->onActionSendMappingAdd();
    m_page->onActionRecvMappingAdd();
    QCOMPARE(m_page->sendRowStrings(), QStringList{"2,0,0,0,0,00,00,"});
    QCOMPARE(m_page->recvRowStrings(), QStringList{"2,00,00,0,"});

    m_page->fromJson({{"sendMap", QJsonArray{"2,0,1,2,15,1ABC,100,", 42, QJsonObject()}}});
    QCOMPARE(sendTable()->rowCount(), 3);
    QCOMPARE(recvTable()->rowCount(), 0);
    QCOMPARE(sendTable()->item(0, 0)->checkState(), Qt::Checked);
    QCOMPARE(combo(sendTable(), 0, 2)->currentText(), QString("扩展帧"));
    QCOMPARE(combo(sendTable(), 0, 3)->currentText(), QString("FD加速"));
    QCOMPARE(combo(sendTable(), 0, 4)->currentText(), QString("动态"));
    QCOMPARE(edit(sendTable(), 0, 5)->text(), QString("1ABC"));
    QCOMPARE(edit(sendTable(), 0, 6)->text(), QString("100"));
    QCOMPARE(sendTable()->item(1, 0)->checkState(), Qt::Unchecked);
}

void Tst_canmapping::oversizedFile()
{
    QStringList send;
    QStringList recv;
    for (int i = 0; i < 40; ++i) {
        send << QString("2,0,0,0,0,%1,%1,").arg(i);
        recv << QString("2,%1,%1,0,").arg(i);
    }
    load(send, recv.mid(0, 35));
    QCOMPARE(sendTable()->rowCount(), 32);
    QCOMPARE(recvTable()->rowCount(), 32);
    QCOMPARE(m_page->sendRowStrings(), send.mid(0, 32));
    QCOMPARE(m_page->recvRowStrings(), recv.mid(0, 32));
    QCOMPARE(m_boxes.size(), 2);
    for (const MessageRecord &box : m_boxes)
        QCOMPARE(box.text, QString("最多可以添加32个记录"));

    m_boxes.clear();
    load(send.mid(0, 32), {});
    QVERIFY(m_boxes.isEmpty());
}

void Tst_canmapping::deleteAndClear()
{
    load({"2,0,0,0,0,0,0,", "2,0,0,0,0,1,1,", "2,0,0,0,0,2,2,", "2,0,0,0,0,3,3,"}, {"2,1,1,0,"});
    QMenu *send = menu("sendMappingMenu");
    send->actions().at(0)->trigger();
    QCOMPARE(sendTable()->rowCount(), 4); // nothing selected, nothing removed

    QItemSelectionModel *selection = sendTable()->selectionModel();
    selection->select(sendTable()->model()->index(3, 0), QItemSelectionModel::Select);
    selection->select(sendTable()->model()->index(1, 2), QItemSelectionModel::Select);
    selection->select(sendTable()->model()->index(1, 5), QItemSelectionModel::Select);
    send->actions().at(0)->trigger();
    QCOMPARE(m_page->sendRowStrings(), QStringList({"2,0,0,0,0,0,0,", "2,0,0,0,0,2,2,"}));

    send->actions().at(2)->trigger();
    QCOMPARE(sendTable()->rowCount(), 0);
    QCOMPARE(recvTable()->rowCount(), 1);
    menu("recvMappingMenu")->actions().at(2)->trigger();
    QCOMPARE(recvTable()->rowCount(), 0);
}

QTEST_MAIN(Tst_canmapping)
#include "tst_canmapping.moc"
