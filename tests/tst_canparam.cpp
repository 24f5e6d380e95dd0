// Tests of the CAN parameters page: the CAN block and the filter frames,
// the rules tying its controls together, the identifier checks, and its
// part of the configuration file.
#include "app/MessageBox.h"
#include "link/ConfigFrame.h"
#include "pages/CanParamWidget.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QtTest>

namespace {

constexpr int kFilterFrameSize = 353;

QJsonObject json(const char *text) { return QJsonDocument::fromJson(text).object(); }

QList<int> ints(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &call : spy)
        values << call.at(0).toInt();
    return values;
}

// A 0x03 reply carrying a CAN block at 15..42.
QByteArray mainReply(const QByteArray &block)
{
    QByteArray reply = ConfigFrame::header(ConfigFrame::ReadMain) + QByteArray(74, '\0');
    reply.replace(15, block.size(), block);
    ConfigFrame::appendCrc(reply);
    return reply;
}

// A 0x05 reply announcing `announced` rows and holding `held` records;
// record i: frame type i % 2, filter type i % 3, ID 1 = 0x100 + i, ID 2 = 0.
QByteArray filterReply(int announced, int held)
{
    QByteArray reply = ConfigFrame::header(ConfigFrame::ReadFilters);
    reply += char(1) + QByteArray(1, 0) + char(announced) + QByteArray(1, 0);
    for (int i = 0; i < held; ++i)
        reply += QByteArray::fromHex(QStringLiteral("%1%2 0000 00000%3 00000000")
                                         .arg(i % 2, 2, 10, QLatin1Char('0'))
                                         .arg(i % 3, 2, 10, QLatin1Char('0'))
                                         .arg(0x100 + i, 3, 16, QLatin1Char('0'))
                                         .toLatin1());
    ConfigFrame::appendCrc(reply);
    return reply;
}

} // namespace

class Tst_canparam : public QObject
{
    Q_OBJECT

    QByteArray m_reply;
    CanParamWidget *m_page = nullptr;
    QStringList m_boxes; // "title|text" of every box shown

    template <class T> T *child(const char *name) { return m_page->findChild<T *>(QLatin1String(name)); }
    QComboBox *combo(const char *name) { return child<QComboBox>(name); }
    QLineEdit *edit(const char *name) { return child<QLineEdit>(name); }
    QTableWidget *table() { return child<QTableWidget>("tableWidget"); }
    QComboBox *cellCombo(int row, int column) { return qobject_cast<QComboBox *>(table()->cellWidget(row, column)); }
    QLineEdit *cellEdit(int row, int column) { return qobject_cast<QLineEdit *>(table()->cellWidget(row, column)); }
    QAction *menuAction(int i) { return m_page->findChild<QMenu *>()->actions().at(i); }
    void addRows(int n)
    {
        for (int i = 0; i < n; ++i)
            menuAction(1)->trigger();
    }

    // As a user does it: arrow keys on the box, which emit activated too.
    static void pick(QComboBox *box, int index)
    {
        for (int i = 0; i < box->count() && box->currentIndex() != index; ++i)
            QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(box->currentIndex(), index);
    }
    // Choosing the entry already shown, from the opened list.
    static void pickShownAgain(QComboBox *box)
    {
        box->showPopup();
        QTest::keyClick(box->view(), Qt::Key_Return);
    }

private slots:
    void init()
    {
        m_reply.clear();
        m_boxes.clear();
        setMessageObserver([this](const MessageRecord &r) { m_boxes << r.title + QLatin1Char('|') + r.text; });
        m_page = new CanParamWidget(&m_reply);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page));
    }
    void cleanup()
    {
        delete m_page;
        setMessageObserver({});
    }

    void startState()
    {
        QCOMPARE(edit("lineEdit")->text(), QStringLiteral("0x006F01F3"));
        QCOMPARE(edit("lineEdit_2")->text(), QStringLiteral("0x003E001D"));
        for (const char *name : {"lineEdit", "lineEdit_2"})
            QVERIFY(!edit(name)->isEnabled());
        for (const char *name : {"comboBox", "comboBox_4", "comboBox_7"})
            QVERIFY(!combo(name)->isEnabled());
        QCOMPARE(edit("lineEdit_3")->text(), QStringLiteral("0"));
        QStringList headers;
        for (int c = 0; c < table()->columnCount(); ++c)
            headers << table()->horizontalHeaderItem(c)->text();
        QCOMPARE(headers, QStringList({" ", "帧类型", "过滤类型", "ID 1(HEX)", "ID 2(HEX)"}));
        QCOMPARE(table()->columnWidth(0), 30);
        QCOMPARE(table()->columnWidth(4), 90);
        QCOMPARE(menuAction(0)->text(), QStringLiteral("删除"));
        QCOMPARE(menuAction(1)->text(), QStringLiteral("添加"));
        QVERIFY(!table()->isEnabled());
        child<QCheckBox>("checkBox")->setChecked(true);
        QVERIFY(table()->isEnabled());
    }

    void writeBlock_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("arbitrationWord");
        QTest::addColumn<QString>("dataWord");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("FD, fast, Non-ISO, extended, 500K, 2M")
            << QByteArray(R"({"Agreement":1,"speed":1,"CANStandard":1,"frameType":1,"sendID":"1A",
                              "Arbitrationarea":11,"Dataarea":8})")
            << "" << "" << QByteArray::fromHex("002A0007 0000 00250002 0000 0000001A 01 00 01 00 01 00 01 00000000 99");
        QTest::newRow("empty file") << QByteArray("{}") << "" << ""
                                    << QByteArray::fromHex("006F01F3 0000 003E001D 0000 00000000 00000000000000 00000000 99");
        QTest::newRow("custom words") << QByteArray(R"({"Arbitrationarea":14,"Dataarea":13,"sendID":"7ff"})")
                                      << "0x12345678" << "abc"
                                      << QByteArray::fromHex("12345678 0000 00000ABC 0000 000007FF 00000000000000 00000000 99");
        QTest::newRow("unreadable words") << QByteArray(R"({"Arbitrationarea":14,"Dataarea":13})") << "zz"
                                          << "80000000"
                                          << QByteArray::fromHex("00000000 0000 00000000 0000 00000000 00000000000000 00000000 99");
        QTest::newRow("blanks in identifier") << QByteArray(R"({"sendID":"1 2 3"})") << "" << ""
                                              << QByteArray::fromHex("006F01F3 0000 003E001D 0000 00000123 00000000000000 00000000 99");
    }
    void writeBlock()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, arbitrationWord);
        QFETCH(QString, dataWord);
        QFETCH(QByteArray, block);
        m_page->fromJson(QJsonDocument::fromJson(file).object());
        if (!arbitrationWord.isEmpty())
            edit("lineEdit")->setText(arbitrationWord);
        if (!dataWord.isEmpty())
            edit("lineEdit_2")->setText(dataWord);
        QByteArray frame = ConfigFrame::header(ConfigFrame::WriteMain);
        QVERIFY(m_page->writeBlock(frame));
        QCOMPARE(frame.mid(15).toHex(' '), block.toHex(' '));
        QVERIFY(m_boxes.isEmpty());
    }

    void writeBlockRefusesBadIdentifier_data()
    {
        QTest::addColumn<QString>("sendId");
        QTest::newRow("letters") << "xyz";
        QTest::newRow("prefix") << "0x12";
        QTest::newRow("sign") << "1-2";
    }
    void writeBlockRefusesBadIdentifier()
    {
        QFETCH(QString, sendId);
        m_page->fromJson(QJsonObject{{"sendID", sendId}});
        QByteArray frame = ConfigFrame::header(ConfigFrame::WriteMain);
        const QByteArray before = frame;
        QVERIFY(!m_page->writeBlock(frame));
        QCOMPARE(frame, before);
        QCOMPARE(m_boxes, QStringList{"提示|CAN ID输入错误"});
    }

    void protocolAndAccelerationRules()
    {
        QComboBox *protocol = combo("comboBox_2"), *speed = combo("comboBox_4"), *data = combo("comboBox_7");
        QSignalSpy agreement(m_page, &CanParamWidget::agreement);
        QSignalSpy mode(m_page, &CanParamWidget::comboBox_2_Change);
        pick(protocol, 1); // the rule hears currentIndexChanged and activated
        QCOMPARE(ints(agreement), QList<int>({1, 1}));
        QCOMPARE(ints(mode), QList<int>({1, 1}));
        QVERIFY(speed->isEnabled() && combo("comboBox")->isEnabled() && !data->isEnabled());
        mode.clear();
        pick(speed, 1);
        pick(speed, 0);
        pick(speed, 1);
        QCOMPARE(ints(mode), QList<int>({2, 1, 2}));
        QVERIFY(data->isEnabled());
        QCOMPARE(m_page->canMode(), 2);
        agreement.clear();
        mode.clear();
        pickShownAgain(protocol);
        QCOMPARE(ints(agreement), QList<int>({1}));
        QCOMPARE(ints(mode), QList<int>({2}));
        mode.clear();
        pick(protocol, 0);
        QCOMPARE(ints(mode), QList<int>({0, 0}));
        QVERIFY(!speed->isEnabled() && !combo("comboBox")->isEnabled() && !data->isEnabled());
        QCOMPARE(m_page->canMode(), 0);
        mode.clear();
        speed->setCurrentIndex(0); // as a reply would: nothing to tell with classic CAN
        QVERIFY(mode.isEmpty());
    }

    void frameTypeToStandard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        QTest::newRow("too big") << "1ABCD" << "";
        QTest::newRow("smallest too big") << "800" << "";
        QTest::newRow("largest standard") << "7FF" << "7FF";
    }
    void frameTypeToStandard()
    {
        QFETCH(QString, text);
        QFETCH(QString, kept);
        combo("comboBox_3")->setCurrentIndex(1);
        edit("lineEdit_3")->setText(text);
        QSignalSpy frameType(m_page, &CanParamWidget::comboBox_3_Change);
        pick(combo("comboBox_3"), 0);
        QCOMPARE(edit("lineEdit_3")->text(), kept);
        QCOMPARE(ints(frameType), QList<int>({0}));
        QVERIFY(m_boxes.isEmpty());
    }

    // Qt undoes a whole run of typing at once, so each row types its last
    // keys after a text set in one piece.
    void typedIdentifier_data()
    {
        QTest::addColumn<int>("frameType");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("boxes");
        const QStringList none;
        QTest::newRow("standard max") << 0 << "" << "7FF" << "7FF" << none;
        QTest::newRow("standard over") << 0 << "" << "800" << "80" << QStringList{"输入错误|请输入有效值: 0x00-0x7ff"};
        QTest::newRow("standard 4th digit") << 0 << "" << "1234" << "123" << none;
        QTest::newRow("extended max") << 1 << "" << "1FFFFFFF" << "1FFFFFFF" << none;
        QTest::newRow("extended over") << 1 << "FFFFFFF" << "F" << "FFFFFFF"
                                       << QStringList{"输入错误|请输入有效值: 0x00-0x1fffffff"};
        QTest::newRow("extended 9th digit") << 1 << "" << "123456789" << "12345678" << none;
    }
    void typedIdentifier()
    {
        QFETCH(int, frameType);
        QFETCH(QString, before);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QStringList, boxes);
        combo("comboBox_3")->setCurrentIndex(frameType);
        edit("lineEdit_3")->setText(before);
        QTest::keyClicks(edit("lineEdit_3"), keys);
        QCOMPARE(edit("lineEdit_3")->text(), shown);
        QCOMPARE(m_boxes, boxes);
    }

    // A loaded text has no edit to undo: the box comes, the text may stay.
    void loadedIdentifier_data()
    {
        QTest::addColumn<int>("frameType");
        QTest::addColumn<QString>("sendId");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("standard over") << 0 << "800" << "12" << QStringList{"输入错误|请输入有效值: 0x00-0x7ff"};
        QTest::newRow("extended over") << 1 << "FFFFFFFF" << "FFFFFFFF"
                                       << QStringList{"输入错误|请输入有效值: 0x00-0x1fffffff"};
        QTest::newRow("nine characters") << 1 << "123456789" << "12" << QStringList();
    }
    void loadedIdentifier()
    {
        QFETCH(int, frameType);
        QFETCH(QString, sendId);
        QFETCH(QString, shown);
        QFETCH(QStringList, boxes);
        combo("comboBox_3")->setCurrentIndex(frameType);
        edit("lineEdit_3")->setText(QStringLiteral("12"));
        m_page->fromJson(QJsonObject{{"frameType", frameType}, {"sendID", sendId}});
        QCOMPARE(edit("lineEdit_3")->text(), shown);
        QCOMPARE(m_boxes, boxes);
    }

    void readBlockFields()
    {
        const QByteArray golden =
            QByteArray::fromHex("002A0007 0000 00250002 0000 0000001A 01 00 01 00 01 00 01 00000000 99");
        QSignalSpy agreement(m_page, &CanParamWidget::agreement);
        m_reply = mainReply(golden);
        m_page->readBlock();
        QCOMPARE(ints(agreement), QList<int>({1}));
        QCOMPARE(edit("lineEdit_3")->text(), QStringLiteral("1a"));
        QCOMPARE(m_page->canMode(), 2);
        QCOMPARE(m_page->frameTypeIndex(), 1);
        QByteArray frame;
        QVERIFY(m_page->writeBlock(frame));
        QCOMPARE(frame.mid(15), golden);
        m_reply = mainReply(QByteArray(28, '\0'));
        m_page->readBlock();
        QCOMPARE(edit("lineEdit_3")->text(), QStringLiteral("00"));
    }

    void readBlockWords_data()
    {
        QTest::addColumn<quint32>("arbitration");
        QTest::addColumn<quint32>("data");
        QTest::addColumn<bool>("customShown");
        QTest::addColumn<int>("arbitrationIndex");
        QTest::addColumn<QString>("arbitrationText");
        QTest::addColumn<int>("dataIndex");
        QTest::addColumn<QString>("dataText");
        QTest::newRow("presets") << 0x001C000Eu << 0x00250002u << false << 9 << "0x001C000E" << 8 << "0x00250002";
        QTest::newRow("unknown") << 0x001C000Fu << 0x003E001Eu << false << 14 << "0x001c000f" << 13 << "0x003e001e";
        QTest::newRow("zero over custom") << 0u << 0u << true << 14 << "0x00000000" << 13 << "0x00000000";
    }
    void readBlockWords()
    {
        QFETCH(quint32, arbitration);
        QFETCH(quint32, data);
        QFETCH(bool, customShown);
        QFETCH(int, arbitrationIndex);
        QFETCH(QString, arbitrationText);
        QFETCH(int, dataIndex);
        QFETCH(QString, dataText);
        if (customShown) {
            combo("comboBox_6")->setCurrentIndex(14);
            combo("comboBox_7")->setCurrentIndex(13);
            edit("lineEdit")->setText(QStringLiteral("0x12345678"));
            edit("lineEdit_2")->setText(QStringLiteral("0x12345678"));
        }
        QSignalSpy changed(combo("comboBox_6"), QOverload<int>::of(&QComboBox::currentIndexChanged));
        QByteArray block(28, '\0');
        block.replace(0, 4, QByteArray::fromHex(QByteArray::number(arbitration, 16).rightJustified(8, '0')));
        block.replace(6, 4, QByteArray::fromHex(QByteArray::number(data, 16).rightJustified(8, '0')));
        m_reply = mainReply(block);
        m_page->readBlock();
        QCOMPARE(combo("comboBox_6")->currentIndex(), arbitrationIndex);
        QCOMPARE(edit("lineEdit")->text(), arbitrationText);
        QCOMPARE(combo("comboBox_7")->currentIndex(), dataIndex);
        QCOMPARE(edit("lineEdit_2")->text(), dataText);
        const bool custom = arbitrationIndex == 14;
        QCOMPARE(edit("lineEdit")->isEnabled(), custom);
        QCOMPARE(edit("lineEdit_2")->isEnabled(), custom);
        QCOMPARE(changed.count(), custom ? 0 : 1); // the custom entry is selected silently
    }

    void jsonRoundTrip()
    {
        const QJsonObject file = json(R"({"CANStandard":1,"Agreement":1,"frameType":1,"speed":1,"sendID":"1abc",
            "Arbitrationarea":11,"Dataarea":8,"NumberFilters":2,
            "frametype_0":0,"Filterstype_0":0,"IDaddress_0":"123","Taddress_0":"00",
            "frametype_1":1,"Filterstype_1":2,"IDaddress_1":"18FF0000","Taddress_1":"1FFFFFFF"})");
        m_page->fromJson(file);
        QCOMPARE(m_page->toJson(), file);
        QVERIFY(!child<QCheckBox>("checkBox")->isChecked());
        QVERIFY(m_boxes.isEmpty());
    }

    void customWordIsNotSaved()
    {
        combo("comboBox_6")->setCurrentIndex(14);
        edit("lineEdit")->setText(QStringLiteral("0x12345678"));
        const QJsonObject file = m_page->toJson();
        combo("comboBox_6")->setCurrentIndex(7);
        m_page->fromJson(file);
        QCOMPARE(edit("lineEdit")->text(), QStringLiteral("0x00000000"));
        QVERIFY(edit("lineEdit")->isEnabled());
    }

    void filterFrame_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QByteArray>("payload"); // offsets 3..350
        QByteArray empty(348, '\0');
        empty.replace(340, 8, QByteArray(8, '\xFF'));
        QTest::newRow("no rows") << QByteArray("{}") << false << empty;
        QByteArray two = empty;
        two.replace(0, 28, QByteArray::fromHex("01000200 000000000000012300000000 01020000 18FF0000 1FFFFFFF"));
        QTest::newRow("two rows") << QByteArray(R"({"NumberFilters":2,
            "frametype_0":0,"Filterstype_0":0,"IDaddress_0":"123","Taddress_0":"00",
            "frametype_1":1,"Filterstype_1":2,"IDaddress_1":"18FF0000","Taddress_1":"1FFFFFFF"})")
                                  << true << two;
    }
    void filterFrame()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, checked);
        QFETCH(QByteArray, payload);
        m_page->fromJson(QJsonDocument::fromJson(file).object());
        child<QCheckBox>("checkBox")->setChecked(checked);
        QByteArray frame = ConfigFrame::header(ConfigFrame::WriteFilters);
        m_page->writeFilterBlock(frame);
        QCOMPARE(frame.mid(3).toHex(' '), payload.toHex(' '));
    }

    void fullFilterTable()
    {
        addRows(28);
        QVERIFY(m_boxes.isEmpty());
        addRows(1);
        QCOMPARE(table()->rowCount(), 28);
        QCOMPARE(m_boxes, QStringList{"提示|最多28条数据"});
        QByteArray frame = ConfigFrame::header(ConfigFrame::WriteFilters);
        m_page->writeFilterBlock(frame);
        ConfigFrame::appendCrc(frame);
        QCOMPARE(frame.size(), kFilterFrameSize);
        QCOMPARE(frame.at(5), char(28));
        QCOMPARE(frame.mid(343, 8), QByteArray(8, '\xFF'));
    }

    void filterRowRules()
    {
        child<QCheckBox>("checkBox")->setChecked(true);
        addRows(1);
        QCOMPARE(table()->item(0, 0)->checkState(), Qt::Checked);
        QCOMPARE(cellCombo(0, 1)->currentText(), QStringLiteral("标准帧"));
        QCOMPARE(cellCombo(0, 2)->currentText(), QStringLiteral("明确 ID"));
        QCOMPARE(cellEdit(0, 3)->text() + cellEdit(0, 4)->text(), QStringLiteral("0000"));
        cellEdit(0, 3)->setText(QStringLiteral("80"));
        QTest::keyClicks(cellEdit(0, 3), QStringLiteral("0"));
        QCOMPARE(cellEdit(0, 3)->text(), QStringLiteral("80"));
        QCOMPARE(m_boxes, QStringList{"输入错误|请输入有效值: 0x00-0x7ff"});
        m_boxes.clear();
        pick(cellCombo(0, 1), 1);
        QCOMPARE(cellEdit(0, 3)->text(), QStringLiteral("00"));
        cellEdit(0, 3)->setText(QString());
        QTest::keyClicks(cellEdit(0, 3), QStringLiteral("1FFFFFFF"));
        pick(cellCombo(0, 1), 0);
        QCOMPARE(cellEdit(0, 3)->text(), QStringLiteral("1FFFFFFF"));
        QVERIFY(m_boxes.isEmpty());
    }

    void rangeCheck_data()
    {
        QTest::addColumn<QString>("id2");
        QTest::addColumn<int>("selectedRow");
        QTest::addColumn<bool>("refused");
        QTest::newRow("below") << "50" << 0 << true;
        QTest::newRow("equal") << "100" << 0 << true;
        QTest::newRow("above") << "101" << 0 << false;
        QTest::newRow("nothing selected") << "50" << -1 << false;
        QTest::newRow("other row selected") << "50" << 1 << false;
    }
    void rangeCheck()
    {
        QFETCH(QString, id2);
        QFETCH(int, selectedRow);
        QFETCH(bool, refused);
        child<QCheckBox>("checkBox")->setChecked(true);
        addRows(2);
        cellEdit(0, 3)->setText(QStringLiteral("100"));
        cellEdit(0, 4)->setText(id2);
        if (selectedRow >= 0)
            table()->selectRow(selectedRow);
        QTest::keyClick(cellCombo(0, 2), Qt::Key_Down); // to "范围 ID"
        QCOMPARE(m_boxes, refused ? QStringList{"提示|ID 2 小于或等于 小于ID 1"} : QStringList());
        QCOMPARE(cellCombo(0, 2)->currentIndex(), refused ? 0 : 1);
        QCOMPARE(cellEdit(0, 4)->text(), refused ? QString() : id2);
    }

    void deleteSelectedRows()
    {
        addRows(5);
        for (int row = 0; row < 5; ++row)
            cellEdit(row, 3)->setText(QString::number(row));
        const auto select = QItemSelectionModel::Select | QItemSelectionModel::Rows;
        table()->selectionModel()->select(table()->model()->index(1, 2), select);
        table()->selectionModel()->select(table()->model()->index(3, 0), select);
        menuAction(0)->trigger();
        QStringList left;
        for (int row = 0; row < table()->rowCount(); ++row)
            left << cellEdit(row, 3)->text();
        QCOMPARE(left, QStringList({"0", "2", "4"}));
    }

    void readFilterBlock_data()
    {
        QTest::addColumn<int>("announced");
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("notices");
        QTest::newRow("none") << 0 << 28 << 0 << 0;
        QTest::newRow("three") << 3 << 28 << 3 << 0;
        QTest::newRow("more than the table holds") << 40 << 28 << 28 << 1;
        QTest::newRow("reply ends early") << 5 << 2 << 2 << 0;
        QTest::newRow("too many, reply ends early") << 200 << 3 << 3 << 1;
    }
    void readFilterBlock()
    {
        QFETCH(int, announced);
        QFETCH(int, held);
        QFETCH(int, rows);
        QFETCH(int, notices);
        addRows(4);
        m_reply = filterReply(announced, held);
        m_page->readFilterBlock();
        QVERIFY(child<QCheckBox>("checkBox")->isChecked());
        QCOMPARE(table()->rowCount(), rows);
        QCOMPARE(m_boxes.count(), notices);
        for (int row = 0; row < rows; ++row) {
            QCOMPARE(cellCombo(row, 1)->currentIndex(), row % 2);
            QCOMPARE(cellCombo(row, 2)->currentIndex(), row % 3);
            QCOMPARE(cellEdit(row, 3)->text(), QString::number(0x100 + row, 16));
            QCOMPARE(cellEdit(row, 4)->text(), QStringLiteral("00"));
        }
    }

    void fileFilterCount_data()
    {
        QTest::addColumn<QJsonValue>("count");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("notices");
        QTest::newRow("zero") << QJsonValue(0) << 0 << 0;
        QTest::newRow("some") << QJsonValue(3) << 3 << 0;
        QTest::newRow("too many") << QJsonValue(40) << 28 << 1;
        QTest::newRow("largest int") << QJsonValue(2147483647) << 28 << 1;
        QTest::newRow("negative") << QJsonValue(-5) << 0 << 0;
        QTest::newRow("beyond int") << QJsonValue(1e12) << 0 << 0;
    }
    void fileFilterCount()
    {
        QFETCH(QJsonValue, count);
        QFETCH(int, rows);
        QFETCH(int, notices);
        child<QCheckBox>("checkBox")->setChecked(true);
        addRows(2);
        m_page->fromJson(QJsonObject{{"NumberFilters", count}});
        QCOMPARE(table()->rowCount(), rows);
        QCOMPARE(m_boxes.count(), notices);
        QVERIFY(child<QCheckBox>("checkBox")->isChecked());
    }
};

QTEST_MAIN(Tst_canparam)
#include "tst_canparam.moc"
