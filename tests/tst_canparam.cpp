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

const QString kRangeBox = QStringLiteral("输入错误|请输入有效值: %1");
const char kTwoFilterRows[] = R"("NumberFilters":2,
    "frametype_0":0,"Filterstype_0":0,"IDaddress_0":"123","Taddress_0":"00",
    "frametype_1":1,"Filterstype_1":2,"IDaddress_1":"18FF0000","Taddress_1":"1FFFFFFF")";

QJsonObject json(const QByteArray &text) { return QJsonDocument::fromJson(text).object(); }
QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

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
        reply += QByteArray::fromHex(QStringLiteral("0%1 0%2 0000 00000%3 00000000")
                                         .arg(i % 2).arg(i % 3).arg(0x100 + i, 0, 16).toLatin1());
    ConfigFrame::appendCrc(reply);
    return reply;
}

// As a user does it: arrow keys on the box, which emit activated too.
void pick(QComboBox *box, int index)
{
    for (int i = 0; i < box->count() && box->currentIndex() != index; ++i)
        QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
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
    QCheckBox *checkBox() { return child<QCheckBox>("checkBox"); }
    QTableWidget *table() { return child<QTableWidget>("tableWidget"); }
    QComboBox *cellCombo(int row, int column) { return qobject_cast<QComboBox *>(table()->cellWidget(row, column)); }
    QLineEdit *cellEdit(int row, int column) { return qobject_cast<QLineEdit *>(table()->cellWidget(row, column)); }
    QAction *menuAction(int i) { return m_page->findChild<QMenu *>()->actions().at(i); }
    void addRows(int n)
    {
        for (int i = 0; i < n; ++i)
            menuAction(1)->trigger();
    }

private slots:
    void init()
    {
        m_reply.clear();
        m_boxes.clear();
        setMessageObserver([this](const MessageRecord &r) { m_boxes << r.title + QLatin1Char('|') + r.text; });
        m_page = new CanParamWidget(&m_reply);
        m_page->show();
    }
    void cleanup()
    {
        delete m_page;
        setMessageObserver({});
    }

    void startState()
    {
        QCOMPARE(edit("lineEdit")->text() + edit("lineEdit_2")->text(), QStringLiteral("0x006F01F30x003E001D"));
        const QList<QWidget *> disabled{edit("lineEdit"),    edit("lineEdit_2"),  combo("comboBox"),
                                        combo("comboBox_4"), combo("comboBox_7"), table()};
        for (QWidget *w : disabled)
            QVERIFY(!w->isEnabled());
        QStringList headers;
        for (int c = 0; c < table()->columnCount(); ++c)
            headers << table()->horizontalHeaderItem(c)->text();
        QCOMPARE(headers, QStringList({" ", "帧类型", "过滤类型", "ID 1(HEX)", "ID 2(HEX)"}));
        QCOMPARE(table()->columnWidth(0), 30);
        QCOMPARE(menuAction(0)->text() + menuAction(1)->text(), QStringLiteral("删除添加"));
        checkBox()->setChecked(true);
        QVERIFY(table()->isEnabled());
    }

    // An empty block means the write is refused.
    void writeBlock_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("arbitrationWord");
        QTest::addColumn<QString>("dataWord");
        QTest::addColumn<QByteArray>("block");
        const QByteArray tail = hex("00000000000000 00000000 99");
        QTest::newRow("FD, fast, Non-ISO, extended, 500K, 2M")
            << QByteArray(R"({"Agreement":1,"speed":1,"CANStandard":1,"frameType":1,"sendID":"1A",
                              "Arbitrationarea":11,"Dataarea":8})")
            << "" << "" << hex("002A0007 0000 00250002 0000 0000001A 01 00 01 00 01 00 01 00000000 99");
        QTest::newRow("empty file") << QByteArray("{}") << "" << ""
                                    << hex("006F01F3 0000 003E001D 0000 00000000") + tail;
        QTest::newRow("custom words") << QByteArray(R"({"Arbitrationarea":14,"Dataarea":13,"sendID":"7ff"})")
                                      << "0x12345678" << "abc" << hex("12345678 0000 00000ABC 0000 000007FF") + tail;
        QTest::newRow("unreadable words") << QByteArray(R"({"Arbitrationarea":14,"Dataarea":13})") << "zz"
                                          << "80000000" << hex("00000000 0000 00000000 0000 00000000") + tail;
        QTest::newRow("blanks in identifier") << QByteArray(R"({"sendID":"1 2 3"})") << "" << ""
                                              << hex("006F01F3 0000 003E001D 0000 00000123") + tail;
        for (const char *id : {"xyz", "0x12", "1-2"})
            QTest::newRow(id) << QByteArray(R"({"sendID":")") + id + "\"}" << "" << "" << QByteArray();
    }
    void writeBlock()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, arbitrationWord);
        QFETCH(QString, dataWord);
        QFETCH(QByteArray, block);
        m_page->fromJson(json(file));
        if (!arbitrationWord.isEmpty())
            edit("lineEdit")->setText(arbitrationWord);
        if (!dataWord.isEmpty())
            edit("lineEdit_2")->setText(dataWord);
        QByteArray frame = ConfigFrame::header(ConfigFrame::WriteMain);
        QCOMPARE(m_page->writeBlock(frame), !block.isEmpty());
        QCOMPARE(frame.mid(15).toHex(' '), block.toHex(' '));
        QCOMPARE(m_boxes, block.isEmpty() ? QStringList{"提示|CAN ID输入错误"} : QStringList());
        if (block.isEmpty())
            return;
        // The block read back from a reply into a reset page is written unchanged.
        m_page->fromJson({});
        m_reply = mainReply(block);
        m_page->readBlock();
        frame.clear();
        QVERIFY(m_page->writeBlock(frame));
        QCOMPARE(frame.mid(15).toHex(' '), block.toHex(' '));
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
        for (int i : {1, 0, 1})
            pick(speed, i);
        QCOMPARE(ints(mode), QList<int>({2, 1, 2}));
        QVERIFY(data->isEnabled());
        agreement.clear();
        mode.clear();
        protocol->showPopup(); // choosing the shown entry again runs the rule once
        QTest::keyClick(protocol->view(), Qt::Key_Return);
        QCOMPARE(ints(agreement) + ints(mode), QList<int>({1, 2}));
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

    // Typed keys follow a text set in one piece (Qt undoes a whole run of
    // typing at once); a loaded text has no edit to undo and may stay.
    void identifierRule_data()
    {
        QTest::addColumn<int>("frameType");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("range");
        QTest::newRow("standard max") << 0 << "" << true << "7FF" << "7FF" << "";
        QTest::newRow("standard over") << 0 << "" << true << "800" << "80" << "0x00-0x7ff";
        QTest::newRow("standard 4 digits") << 0 << "" << true << "1234" << "123" << "";
        QTest::newRow("extended over") << 1 << "FFFFFFF" << true << "F" << "FFFFFFF" << "0x00-0x1fffffff";
        QTest::newRow("extended 9 digits") << 1 << "" << true << "123456789" << "12345678" << "";
        QTest::newRow("loaded standard over") << 0 << "12" << false << "800" << "12" << "0x00-0x7ff";
        QTest::newRow("loaded extended over") << 1 << "12" << false << "FFFFFFFF" << "FFFFFFFF" << "0x00-0x1fffffff";
        QTest::newRow("loaded 9 characters") << 1 << "12" << false << "123456789" << "12" << "";
    }
    void identifierRule()
    {
        QFETCH(int, frameType);
        QFETCH(QString, before);
        QFETCH(bool, typed);
        QFETCH(QString, input);
        QFETCH(QString, shown);
        QFETCH(QString, range);
        combo("comboBox_3")->setCurrentIndex(frameType);
        edit("lineEdit_3")->setText(before);
        if (typed)
            QTest::keyClicks(edit("lineEdit_3"), input);
        else
            m_page->fromJson(QJsonObject{{"frameType", frameType}, {"sendID", input}});
        QCOMPARE(edit("lineEdit_3")->text(), shown);
        QCOMPARE(m_boxes, range.isEmpty() ? QStringList() : QStringList{kRangeBox.arg(range)});
    }

    void readBlockWords_data()
    {
        QTest::addColumn<QByteArray>("words"); // arbitration, data
        QTest::addColumn<bool>("customShown");
        QTest::addColumn<int>("arbitrationIndex");
        QTest::addColumn<int>("dataIndex");
        QTest::addColumn<QString>("texts");
        QTest::newRow("presets") << hex("001C000E 00250002") << false << 9 << 8 << "0x001C000E 0x00250002";
        QTest::newRow("unknown") << hex("001C000F 003E001E") << false << 14 << 13 << "0x001c000f 0x003e001e";
        QTest::newRow("zero over custom") << QByteArray(8, 0) << true << 14 << 13 << "0x00000000 0x00000000";
    }
    void readBlockWords()
    {
        QFETCH(QByteArray, words);
        QFETCH(bool, customShown);
        QFETCH(int, arbitrationIndex);
        QFETCH(int, dataIndex);
        QFETCH(QString, texts);
        if (customShown) {
            combo("comboBox_6")->setCurrentIndex(14);
            combo("comboBox_7")->setCurrentIndex(13);
            edit("lineEdit")->setText(QStringLiteral("0x12345678"));
            edit("lineEdit_2")->setText(QStringLiteral("0x12345678"));
        }
        QSignalSpy changed(combo("comboBox_6"), QOverload<int>::of(&QComboBox::currentIndexChanged));
        m_reply = mainReply(words.left(4) + QByteArray(2, 0) + words.mid(4));
        m_page->readBlock();
        QCOMPARE(combo("comboBox_6")->currentIndex(), arbitrationIndex);
        QCOMPARE(combo("comboBox_7")->currentIndex(), dataIndex);
        QCOMPARE(edit("lineEdit")->text() + ' ' + edit("lineEdit_2")->text(), texts);
        const bool custom = arbitrationIndex == 14;
        QCOMPARE(edit("lineEdit")->isEnabled() && edit("lineEdit_2")->isEnabled(), custom);
        QCOMPARE(changed.count(), custom ? 0 : 1); // the custom entry is selected silently
    }

    void jsonRoundTrip()
    {
        const QJsonObject file = json(R"({"CANStandard":1,"Agreement":1,"frameType":1,"speed":1,"sendID":"1abc",
            "Arbitrationarea":14,"Dataarea":8,)" + QByteArray(kTwoFilterRows) + "}");
        edit("lineEdit")->setText(QStringLiteral("0x12345678")); // a custom word is not saved
        m_page->fromJson(file);
        QCOMPARE(m_page->toJson(), file);
        QCOMPARE(edit("lineEdit")->text(), QStringLiteral("0x00000000"));
        QVERIFY(!checkBox()->isChecked());
        QVERIFY(m_boxes.isEmpty());
    }

    void filterFrame_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("head"); // from offset 3; 0x00 up to 342, then eight 0xFF
        QTest::newRow("no rows") << QByteArray("{}") << hex("00000000");
        QTest::newRow("two rows") << "{" + QByteArray(kTwoFilterRows) + "}"
                                  << hex("01000200 000000000000012300000000 01020000 18FF0000 1FFFFFFF");
    }
    void filterFrame()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, head);
        m_page->fromJson(json(file));
        checkBox()->setChecked(head.at(0) != 0);
        QByteArray payload = head + QByteArray(340 - head.size(), 0) + QByteArray(8, '\xFF');
        QByteArray frame = ConfigFrame::header(ConfigFrame::WriteFilters);
        m_page->writeFilterBlock(frame);
        QCOMPARE(frame.mid(3).toHex(' '), payload.toHex(' '));
    }

    void fullFilterTable()
    {
        addRows(29);
        QCOMPARE(table()->rowCount(), 28);
        QCOMPARE(m_boxes, QStringList{"提示|最多28条数据"});
        QByteArray frame = ConfigFrame::header(ConfigFrame::WriteFilters);
        m_page->writeFilterBlock(frame);
        ConfigFrame::appendCrc(frame);
        QCOMPARE(frame.size(), 353);
        QCOMPARE(frame.mid(343, 8), QByteArray(8, '\xFF'));
    }

    void filterRowRules()
    {
        checkBox()->setChecked(true);
        addRows(1);
        QCOMPARE(table()->item(0, 0)->checkState(), Qt::Checked);
        QCOMPARE(cellCombo(0, 1)->currentText() + cellCombo(0, 2)->currentText(), QStringLiteral("标准帧明确 ID"));
        QCOMPARE(cellEdit(0, 3)->text() + cellEdit(0, 4)->text(), QStringLiteral("0000"));
        cellEdit(0, 3)->setText(QStringLiteral("80"));
        QTest::keyClicks(cellEdit(0, 3), QStringLiteral("0"));
        QCOMPARE(cellEdit(0, 3)->text(), QStringLiteral("80"));
        QCOMPARE(m_boxes, QStringList{kRangeBox.arg("0x00-0x7ff")});
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
        checkBox()->setChecked(true);
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
        QVERIFY(checkBox()->isChecked());
        QCOMPARE(table()->rowCount(), rows);
        QCOMPARE(m_boxes.count(), notices);
        for (int row = 0; row < rows; ++row) {
            QCOMPARE(cellCombo(row, 1)->currentIndex() * 10 + cellCombo(row, 2)->currentIndex(),
                     row % 2 * 10 + row % 3);
            QCOMPARE(cellEdit(row, 3)->text() + ' ' + cellEdit(row, 4)->text(),
                     QString::number(0x100 + row, 16) + " 00");
        }
    }

    void fileFilterCount_data()
    {
        QTest::addColumn<QJsonValue>("count");
        QTest::addColumn<int>("rows");
        QTest::newRow("zero") << QJsonValue(0) << 0;
        QTest::newRow("some") << QJsonValue(3) << 3;
        QTest::newRow("too many") << QJsonValue(40) << 28;
        QTest::newRow("largest int") << QJsonValue(2147483647) << 28;
        QTest::newRow("negative") << QJsonValue(-5) << 0;
        QTest::newRow("beyond int") << QJsonValue(1e12) << 0;
    }
    void fileFilterCount()
    {
        QFETCH(QJsonValue, count);
        QFETCH(int, rows);
        checkBox()->setChecked(true);
        addRows(2);
        m_page->fromJson(QJsonObject{{"NumberFilters", count}});
        QCOMPARE(table()->rowCount(), rows);
        QCOMPARE(m_boxes.count(), count.toDouble() > 28 && rows ? 1 : 0);
        QVERIFY(checkBox()->isChecked());
    }
};

QTEST_MAIN(Tst_canparam)
#include "tst_canparam.moc"
