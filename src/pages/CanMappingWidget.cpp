#include "pages/CanMappingWidget.h"

#include "app/MessageBox.h"
#include "pages/TableCells.h"
#include "pages/TableColumns.h"
#include "protocol/ByteFields.h"
#include "ui_CanMappingWidget.h"

#include <QComboBox>
#include <QCursor>
#include <QHeaderView>
#include <QIntValidator>
#include <QJsonArray>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <QSet>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>
#include <limits>

namespace {

constexpr int kMaxRows = 32;
constexpr int kRowHeight = 23;
constexpr int kCheckColumnWidth = 30;
constexpr int kSlotsOffset = 3;
constexpr int kSendRecordSize = 9;
constexpr int kRecvRecordSize = 8;
constexpr int kSendBlockSize = 296; // 32 records and 8 reserved bytes
constexpr int kRecvBlockSize = 260; // 32 records and 4 reserved bytes
constexpr quint8 kDynamicLength = 0xFF;
constexpr int kClassicMaxLength = 8;
constexpr int kClassicMaxRegisters = 4;
constexpr quint32 kStandardIdMax = 0x7FF;
constexpr quint32 kExtendedIdMax = 0x1FFFFFFF;

constexpr quint8 kFlagExtended = 0x80;
constexpr quint8 kFlagRemote = 0x40;
constexpr quint8 kFlagFd = 0x20;
constexpr quint8 kFlagBitRateSwitch = 0x10;

enum SendColumn { SendCheck, SendFormat, SendType, SendProtocol, SendLength, SendId, SendAddress };
enum RecvColumn { RecvCheck, RecvId, RecvAddress, RecvCount };
enum Protocol { ProtocolCan, ProtocolCanFd, ProtocolFdBrs };

const QString kHighlight = QStringLiteral("background-color: #FFB6C1;");

// Setting a style sheet re-polishes the widget even when the sheet is the
// same, and a validation run touches every cell.
void changeStyleSheet(QWidget *widget, const QString &sheet)
{
    if (widget && widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

QComboBox *comboAt(const QTableWidget *table, int row, int column)
{
    return qobject_cast<QComboBox *>(table->cellWidget(row, column));
}

QLineEdit *editAt(const QTableWidget *table, int row, int column)
{
    return qobject_cast<QLineEdit *>(table->cellWidget(row, column));
}

QString textAt(const QTableWidget *table, int row, int column)
{
    const QLineEdit *edit = editAt(table, row, column);
    return edit ? edit->text() : QString();
}

int comboIndex(const QTableWidget *table, int row, int column)
{
    const QComboBox *combo = comboAt(table, row, column);
    return combo ? combo->currentIndex() : -1;
}

Qt::CheckState checkStateAt(const QTableWidget *table, int row)
{
    const QTableWidgetItem *item = table->item(row, 0);
    return item ? item->checkState() : Qt::Unchecked;
}

void setCheckStateAt(QTableWidget *table, int row, Qt::CheckState state)
{
    if (QTableWidgetItem *item = table->item(row, 0))
        item->setCheckState(state);
}

// The check column's items can be ticked, not edited as text.
Qt::ItemFlags checkItemFlags()
{
    static const Qt::ItemFlags flags = QTableWidgetItem().flags() & ~Qt::ItemIsEditable;
    return flags;
}

QTableWidgetItem *checkedItem()
{
    auto *item = new QTableWidgetItem;
    item->setFlags(checkItemFlags());
    item->setCheckState(Qt::Checked);
    return item;
}

// Cell widgets are made in the table's viewport, their final parent: moved
// there later, each would be restyled under the window's style sheet, which
// costs more than all else in filling a table.
QComboBox *comboWith(QWidget *cells, const QStringList &entries)
{
    auto *combo = new QComboBox(cells);
    combo->addItems(entries);
    return combo;
}

constexpr int kNoRule = std::numeric_limits<int>::min();

// A list whose selectable entries follow a rule: the CAN mode for the
// protocol and register-count lists, the row's protocol for the length list.
// It remembers what its entries were last set for: the rules run on every
// read and every mode change, mostly for what the list already follows.
class RuleList : public QComboBox
{
public:
    RuleList(QWidget *cells, const QStringList &entries) : QComboBox(cells) { addItems(entries); }

    int ruleArgument = kNoRule;
};

// Makes entry i selectable exactly when allowed(i), for the rule's argument.
template <typename Allowed> void applyEntryRule(QComboBox *list, int argument, Allowed allowed)
{
    auto *ruled = dynamic_cast<RuleList *>(list);
    if (ruled && ruled->ruleArgument == argument)
        return;
    for (int i = 0; i < list->count(); ++i)
        setEntryEnabled(list, i, allowed(i));
    if (ruled)
        ruled->ruleArgument = argument;
}

bool followsRule(const QComboBox *list, int argument)
{
    const auto *ruled = dynamic_cast<const RuleList *>(list);
    return ruled && ruled->ruleArgument == argument;
}

// Numeric value of a length entry; "动态" has none and gives 0.
int lengthNumber(const QString &text)
{
    return text.toInt();
}

// Classic CAN carries at most 8 data bytes: longer lengths are offered only
// for CAN FD.
void enableLengths(QComboBox *length, int protocolIndex)
{
    applyEntryRule(length, protocolIndex, [length, protocolIndex](int i) {
        return protocolIndex != ProtocolCan || lengthNumber(length->itemText(i)) <= kClassicMaxLength;
    });
}

// Whether the list holds a length classic CAN can't carry.
bool holdsLongLengths(const QComboBox *length)
{
    for (int i = 0; i < length->count(); ++i) {
        if (lengthNumber(length->itemText(i)) > kClassicMaxLength)
            return true;
    }
    return false;
}

// The device's CAN mode bounds what a send row may use: classic CAN only in
// mode 0, no bit-rate switch in mode 1.
bool protocolAllowed(int protocol, int mode)
{
    return mode == 0 ? protocol == ProtocolCan : mode != 1 || protocol != ProtocolFdBrs;
}

// Signals stay quiet: the row handlers act on the selected row, which need
// not be this one.
void applyProtocolRule(QComboBox *protocol, int mode)
{
    const QSignalBlocker quiet(protocol);
    applyEntryRule(protocol, mode, [mode](int i) { return protocolAllowed(i, mode); });
    if (mode == 0)
        protocol->setCurrentIndex(ProtocolCan);
    else if (mode == 1 && protocol->currentIndex() == ProtocolFdBrs)
        protocol->setCurrentIndex(ProtocolCanFd);
}

// Classic CAN frames hold up to four registers.
bool countAllowed(int index, int mode)
{
    return mode != 0 || index < kClassicMaxRegisters;
}

void applyRecvRule(QComboBox *count, int mode)
{
    applyEntryRule(count, mode, [mode](int i) { return countAllowed(i, mode); });
    if (mode == 0 && count->currentIndex() >= kClassicMaxRegisters)
        count->setCurrentIndex(kClassicMaxRegisters - 1);
}

// The protocol list entry a send record's flags select. A bit-rate switch
// without CAN FD selects nothing: the row keeps a new row's "CAN".
int protocolOf(quint8 flags)
{
    if (!(flags & kFlagFd))
        return ProtocolCan;
    return flags & kFlagBitRateSwitch ? ProtocolFdBrs : ProtocolCanFd;
}

// The length list entry of a send record's length byte, -1 when the list has none.
int lengthIndexOf(const QComboBox *length, quint8 bytes)
{
    return bytes == kDynamicLength ? length->count() - 1 : length->findText(QString::number(bytes));
}

// Whether the list shows the entry lengthIndexOf() finds (entries are unique,
// so comparing the shown text spares searching the list).
bool showsLength(const QComboBox *length, quint8 bytes)
{
    const int index = length->currentIndex();
    if (bytes == kDynamicLength)
        return index >= 0 && index == length->count() - 1;
    return index >= 0 && length->itemText(index) == QString::number(bytes);
}

// Each cell of a row from `first` to `last` is there and not highlighted.
bool cellsPlain(const QTableWidget *table, int row, int first, int last)
{
    for (int column = first; column <= last; ++column) {
        const QWidget *cell = table->cellWidget(row, column);
        if (!cell || !cell->styleSheet().isEmpty())
            return false;
    }
    return true;
}

QString withoutSpaces(QString text)
{
    return text.remove(QLatin1Char(' '));
}

// Unreadable text counts as 0, as the device fields expect.
quint32 numberValue(const QString &text, int base)
{
    bool ok = false;
    const quint32 value = withoutSpaces(text).toUInt(&ok, base);
    return ok ? value : 0;
}

// Reads a cell's number as the block carries it (spaces removed); false
// when the text does not read or the value is above `maximum`.
bool readsWithin(const QString &text, int base, quint32 maximum, quint32 &value)
{
    bool ok = false;
    value = withoutSpaces(text).toUInt(&ok, base);
    return ok && value <= maximum;
}

quint16 addressValue(const QString &text)
{
    const quint32 value = numberValue(text, 10);
    return value > 0xFFFF ? 0 : static_cast<quint16>(value);
}

bool isAcceptable(const QLineEdit *edit)
{
    QString text = edit->text();
    int pos = 0;
    return !edit->validator() || edit->validator()->validate(text, pos) == QValidator::Acceptable;
}

void zeroFill(QByteArray &frame, int offset, int count)
{
    for (int i = offset; i < offset + count; ++i)
        putByte(frame, i, 0);
}

void deleteSelectedRows(QTableWidget *table)
{
    QList<int> rows;
    for (const QModelIndex &cell : table->selectionModel()->selectedIndexes())
        rows << cell.row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        table->removeRow(*it);
}

// A refill starts with nothing selected, as when the rows were removed: the
// row handlers act on the selected row and must not fire on the refilled ones.
void startRefill(QTableWidget *table)
{
    table->selectionModel()->clear();
}

void setUpTable(QTableWidget *table, const QVector<QPair<int, int>> &widths)
{
    table->horizontalHeader()->setSectionsClickable(false);
    // The style's default minimums are larger than the check column and rows.
    table->horizontalHeader()->setMinimumSectionSize(kCheckColumnWidth);
    table->verticalHeader()->setMinimumSectionSize(kRowHeight);
    table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table->setColumnWidth(0, kCheckColumnWidth);
    for (const auto &width : widths)
        table->setColumnWidth(width.first, width.second);
}

Qt::CheckState checkStateFrom(int value)
{
    if (value <= 0)
        return Qt::Unchecked;
    return value == 1 ? Qt::PartiallyChecked : Qt::Checked;
}

int intField(const QStringList &fields, int index)
{
    return fields.value(index).toInt();
}

// Hexadecimal CAN identifier of a mapping row. The range follows the row's
// frame type; an entry out of range is reported and taken back at once so the
// table never holds an identifier the bus can't carry.
class CanIdEdit : public QLineEdit
{
public:
    enum InvalidText { ReportInvalid, QuietInvalid };

    CanIdEdit(QWidget *page, QWidget *cells, InvalidText invalid)
        : QLineEdit(cells), m_page(page), m_invalid(invalid), m_validator(new QRegularExpressionValidator(this))
    {
        setValidator(m_validator);
        connect(this, &QLineEdit::textChanged, this, [this](const QString &text) { check(text); });
    }

    // Holds `text`, as a program set it, for this frame type, and would
    // take it without a word.
    bool shows(const QString &text, bool extended) const
    {
        return m_extended == extended && showsText(this, text) && inRange(text) && isAcceptable(this);
    }

    void setFrameType(int index)
    {
        m_extended = index != 0;
        m_validator->setRegularExpression(QRegularExpression(m_extended ? QStringLiteral("^[0-9A-Fa-f]{1,8}$")
                                                                        : QStringLiteral("^[0-9A-Fa-f]{1,3}$")));
        setText(QStringLiteral("00"));
    }

private:
    bool inRange(const QString &text) const
    {
        bool ok = false;
        const quint32 value = text.toUInt(&ok, 16);
        return !ok || value <= (m_extended ? kExtendedIdMax : kStandardIdMax);
    }

    // Two checks, each taking back the last edit: the range, then the
    // pattern. A typed text that fails the range passes the pattern (the
    // validator let it in); a text from a file or a reply has no edit to
    // take back and stays, so it may fail both and raise both boxes.
    void check(const QString &text)
    {
        if (text.isEmpty())
            return;
        if (!inRange(text)) {
            report(m_extended ? QStringLiteral("0x00-0x1FFFFFFF") : QStringLiteral("0x00-0x7ff"));
            undo(); // the undo re-runs this check on the restored text
        }
        QString candidate = text;
        int position = 0;
        if (m_validator->validate(candidate, position) == QValidator::Acceptable)
            return;
        if (m_invalid == ReportInvalid)
            report(m_extended ? QStringLiteral("0x00-0x1FFFFFFF") : QStringLiteral("0x00-0x7FF"));
        undo();
    }

    void report(const QString &range)
    {
        showMessageBox(QMessageBox::Information, m_page, CanMappingWidget::tr("输入错误"),
                       CanMappingWidget::tr("请输入有效值: %1").arg(range));
    }

    QWidget *m_page;
    InvalidText m_invalid;
    QRegularExpressionValidator *m_validator;
    bool m_extended = false;
};

// Register address editor (0 to 65535) of both tables.
QLineEdit *createAddressEdit(QWidget *page, QWidget *cells)
{
    auto *edit = new QLineEdit(cells);
    edit->setValidator(new QIntValidator(0, 0xFFFF, edit));
    edit->setText(QStringLiteral("00"));
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, page](const QString &text) {
        if (text.isEmpty() || isAcceptable(edit))
            return;
        showMessageBox(QMessageBox::Information, page, QStringLiteral(" "),
                       CanMappingWidget::tr("输入错误 请输入 0 到 65535 之间的整数"));
        edit->undo();
    });
    return edit;
}

} // namespace

CanMappingWidget::CanMappingWidget(QWidget *parent) : QWidget(parent), ui(new Ui::CanMappingWidgetClass)
{
    ui->setupUi(this);
    setUpTable(ui->m_tableWidgetCanSendMapping,
               {{SendFormat, 65}, {SendType, 65}, {SendProtocol, 70}, {SendLength, 80}, {SendId, 85}});
    setUpTable(ui->m_tableWidgetRecvMapping, {{RecvId, 105}, {RecvAddress, 130}, {RecvCount, 90}});
    fitColumnsToContents();

    m_sendMenu = createMenu(&CanMappingWidget::onActionSendMappingDelete, &CanMappingWidget::onActionSendMappingAdd,
                            &CanMappingWidget::onActionSendMappingClearAll);
    m_sendMenu->setObjectName(QStringLiteral("sendMappingMenu"));
    m_recvMenu = createMenu(&CanMappingWidget::onActionRecvMappingDelete, &CanMappingWidget::onActionRecvMappingAdd,
                            &CanMappingWidget::onActionRecvMappingClearAll);
    m_recvMenu->setObjectName(QStringLiteral("recvMappingMenu"));
    connect(ui->m_tableWidgetCanSendMapping, &QWidget::customContextMenuRequested, this,
            &CanMappingWidget::onCanSendMappingCustomContextMenuRequested);
    connect(ui->m_tableWidgetRecvMapping, &QWidget::customContextMenuRequested, this,
            &CanMappingWidget::onCanRecvMappingCustomContextMenuRequested);
}

CanMappingWidget::~CanMappingWidget() { delete ui; }

QMenu *CanMappingWidget::createMenu(void (CanMappingWidget::*del)(), void (CanMappingWidget::*add)(),
                                    void (CanMappingWidget::*clear)())
{
    auto *menu = new QMenu(this);
    connect(menu->addAction(tr("删除")), &QAction::triggered, this, del);
    connect(menu->addAction(tr("添加")), &QAction::triggered, this, add);
    connect(menu->addAction(tr("清空")), &QAction::triggered, this, clear);
    return menu;
}

// ---- rows -------------------------------------------------------------------

void CanMappingWidget::showRowLimit()
{
    showMessageBox(QMessageBox::Information, this, tr("提示"), tr("最多可以添加32个记录"));
}

bool CanMappingWidget::refuseWhenFull(const QTableWidget *table)
{
    if (table->rowCount() < kMaxRows)
        return false;
    showRowLimit();
    return true;
}

int CanMappingWidget::addSendRow()
{
    QTableWidget *table = ui->m_tableWidgetCanSendMapping;
    if (refuseWhenFull(table))
        return -1;
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, SendCheck, checkedItem());

    QComboBox *format = comboWith(table->viewport(), {tr("数据帧")});
    table->setCellWidget(row, SendFormat, format);
    connect(format, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CanMappingWidget::onCurrentChange);

    QComboBox *type = comboWith(table->viewport(), {tr("标准帧"), tr("扩展帧")});
    table->setCellWidget(row, SendType, type);

    QStringList lengths;
    for (const int bytes : {1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 20, 24, 32, 48, 64})
        lengths << QString::number(bytes);
    QComboBox *length = new RuleList(table->viewport(), lengths << tr("动态"));
    table->setCellWidget(row, SendLength, length);

    QComboBox *protocol =
        new RuleList(table->viewport(), {QStringLiteral("CAN"), QStringLiteral("CANFD"), tr("FD加速")});
    table->setCellWidget(row, SendProtocol, protocol);
    connect(protocol, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CanMappingWidget::onCurrentCANChange);
    // Whoever changes the protocol (user, reply, file), the row's own length
    // list must follow it.
    connect(protocol, QOverload<int>::of(&QComboBox::currentIndexChanged), length,
            [length](int index) { enableLengths(length, index); });
    enableLengths(length, protocol->currentIndex());

    auto *id = new CanIdEdit(this, table->viewport(), CanIdEdit::ReportInvalid);
    id->setFrameType(type->currentIndex());
    table->setCellWidget(row, SendId, id);
    connect(type, QOverload<int>::of(&QComboBox::currentIndexChanged), id, [id](int index) { id->setFrameType(index); });

    emit getcantype();
    applyProtocolRule(protocol, m_canMode);

    table->setCellWidget(row, SendAddress, createAddressEdit(this, table->viewport()));
    table->setRowHeight(row, kRowHeight);
    return row;
}

// Refills reuse the rows already there: building cell widgets under the
// application's style sheet is what makes reading a reply slow. A reused row
// is first put back into the state addSendRow() / addRecvRow() give a new one.
int CanMappingWidget::takeRow(bool send, int row)
{
    const QTableWidget *table = send ? ui->m_tableWidgetCanSendMapping : ui->m_tableWidgetRecvMapping;
    if (row >= table->rowCount())
        return send ? addSendRow() : addRecvRow();
    emit getcantype();
    send ? resetSendRow(row) : resetRecvRow(row);
    return row;
}

void CanMappingWidget::resetSendRow(int row)
{
    QTableWidget *table = ui->m_tableWidgetCanSendMapping;
    table->setItem(row, SendCheck, checkedItem());
    QComboBox *format = comboAt(table, row, SendFormat);
    format->setCurrentIndex(0);
    while (format->count() > 1)
        format->removeItem(format->count() - 1);
    comboAt(table, row, SendType)->setCurrentIndex(0);
    QComboBox *protocol = comboAt(table, row, SendProtocol);
    protocol->setCurrentIndex(ProtocolCan);
    QComboBox *length = comboAt(table, row, SendLength);
    length->setCurrentIndex(0);
    enableLengths(length, ProtocolCan);
    dynamic_cast<CanIdEdit *>(editAt(table, row, SendId))->setFrameType(0);
    editAt(table, row, SendAddress)->setText(QStringLiteral("00"));
    for (int column = SendFormat; column <= SendAddress; ++column)
        changeStyleSheet(table->cellWidget(row, column), QString());
    applyProtocolRule(protocol, m_canMode);
    table->setRowHeight(row, kRowHeight);
}

void CanMappingWidget::resetRecvRow(int row)
{
    QTableWidget *table = ui->m_tableWidgetRecvMapping;
    table->setRowHeight(row, kRowHeight);
    table->setItem(row, RecvCheck, checkedItem());
    dynamic_cast<CanIdEdit *>(editAt(table, row, RecvId))->setFrameType(1);
    editAt(table, row, RecvAddress)->setText(QStringLiteral("00"));
    QComboBox *count = comboAt(table, row, RecvCount);
    count->setCurrentIndex(0);
    for (int column = RecvId; column <= RecvCount; ++column)
        changeStyleSheet(table->cellWidget(row, column), QString());
    applyRecvRule(count, m_canMode);
}

void CanMappingWidget::fitColumnsToContents()
{
    QTableWidget *send = ui->m_tableWidgetCanSendMapping;
    for (int column = SendFormat; column <= SendAddress; ++column)
        fitColumnToHeader(send, column);
    fitColumnToComboBox(send, SendFormat, {tr("数据帧"), tr("远程帧")});
    fitColumnToComboBox(send, SendType, {tr("标准帧"), tr("扩展帧")});
    fitColumnToComboBox(send, SendProtocol, {QStringLiteral("CAN"), QStringLiteral("CANFD"), tr("FD加速")});
    fitColumnToComboBox(send, SendLength, {QStringLiteral("64"), tr("动态")});

    QTableWidget *recv = ui->m_tableWidgetRecvMapping;
    for (int column = RecvId; column <= RecvCount; ++column)
        fitColumnToHeader(recv, column);
    fitColumnToComboBox(recv, RecvCount, {QStringLiteral("32")});
}

int CanMappingWidget::addRecvRow()
{
    QTableWidget *table = ui->m_tableWidgetRecvMapping;
    if (refuseWhenFull(table))
        return -1;
    const int row = table->rowCount();
    table->insertRow(row);
    table->setRowHeight(row, kRowHeight);
    table->setItem(row, RecvCheck, checkedItem());

    auto *id = new CanIdEdit(this, table->viewport(), CanIdEdit::QuietInvalid);
    id->setFrameType(1); // receive identifiers may always be extended
    table->setCellWidget(row, RecvId, id);
    table->setCellWidget(row, RecvAddress, createAddressEdit(this, table->viewport()));

    QStringList counts;
    for (int n = 1; n <= kMaxRows; ++n)
        counts << QString::number(n);
    QComboBox *count = new RuleList(table->viewport(), counts);
    table->setCellWidget(row, RecvCount, count);

    emit getcantype();
    applyRecvRule(count, m_canMode);
    return row;
}

// Column 1 offers only "数据帧"; a row the device or a file marks as remote
// frame gets a second entry, so it stays visible and is written back as read.
void CanMappingWidget::setFrameFormat(int row, int index)
{
    QComboBox *format = comboAt(ui->m_tableWidgetCanSendMapping, row, SendFormat);
    if (!format)
        return;
    if (index != 0 && format->count() < 2)
        format->addItem(tr("远程帧"));
    format->setCurrentIndex(index != 0 ? 1 : 0);
}

int CanMappingWidget::firstSelectedSendRow() const
{
    const QModelIndexList cells = ui->m_tableWidgetCanSendMapping->selectionModel()->selectedIndexes();
    return cells.isEmpty() ? -1 : cells.first().row();
}

void CanMappingWidget::onCurrentChange(int)
{
    const int row = firstSelectedSendRow();
    if (row < 0)
        return;
    if (QComboBox *protocol = comboAt(ui->m_tableWidgetCanSendMapping, row, SendProtocol))
        protocol->setCurrentIndex(ProtocolCan);
    if (QComboBox *length = comboAt(ui->m_tableWidgetCanSendMapping, row, SendLength))
        length->setCurrentIndex(0);
}

void CanMappingWidget::onCurrentCANChange(int index)
{
    const int row = firstSelectedSendRow();
    QComboBox *length = row < 0 ? nullptr : comboAt(ui->m_tableWidgetCanSendMapping, row, SendLength);
    if (!length)
        return;
    enableLengths(length, index);
    if (holdsLongLengths(length) && index == ProtocolCan)
        length->setCurrentIndex(0);
}

void CanMappingWidget::applyCanMode(int mode)
{
    m_canMode = mode;
    const QTableWidget *send = ui->m_tableWidgetCanSendMapping;
    for (int row = 0; row < send->rowCount(); ++row) {
        QComboBox *protocol = comboAt(send, row, SendProtocol);
        QComboBox *length = comboAt(send, row, SendLength);
        if (!protocol || !length)
            return;
        applyProtocolRule(protocol, mode);
        enableLengths(length, protocol->currentIndex());
        if (protocol->currentIndex() == ProtocolCan && lengthNumber(length->currentText()) > kClassicMaxLength)
            length->setCurrentIndex(length->findText(QString::number(kClassicMaxLength)));
    }
    const QTableWidget *recv = ui->m_tableWidgetRecvMapping;
    for (int row = 0; row < recv->rowCount(); ++row) {
        QComboBox *count = comboAt(recv, row, RecvCount);
        if (!count)
            return;
        applyRecvRule(count, mode);
    }
}

// ---- context menus ------------------------------------------------------------

void CanMappingWidget::onCanSendMappingCustomContextMenuRequested(const QPoint &)
{
    m_sendMenu->exec(QCursor::pos());
}

void CanMappingWidget::onActionSendMappingDelete() { deleteSelectedRows(ui->m_tableWidgetCanSendMapping); }
void CanMappingWidget::onActionSendMappingAdd() { addSendRow(); }
void CanMappingWidget::onActionSendMappingClearAll() { ui->m_tableWidgetCanSendMapping->setRowCount(0); }

void CanMappingWidget::onCanRecvMappingCustomContextMenuRequested(const QPoint &)
{
    m_recvMenu->exec(QCursor::pos());
}

void CanMappingWidget::onActionRecvMappingDelete() { deleteSelectedRows(ui->m_tableWidgetRecvMapping); }
void CanMappingWidget::onActionRecvMappingAdd() { addRecvRow(); }
void CanMappingWidget::onActionRecvMappingClearAll() { ui->m_tableWidgetRecvMapping->setRowCount(0); }

// ---- wire blocks ----------------------------------------------------------------

void CanMappingWidget::writeSendBlock(QByteArray &frame) const
{
    zeroFill(frame, kSlotsOffset, kSendBlockSize);
    const QTableWidget *table = ui->m_tableWidgetCanSendMapping;
    for (int row = 0; row < qMin(table->rowCount(), kMaxRows); ++row) {
        const int offset = kSlotsOffset + kSendRecordSize * row;
        const int protocol = comboIndex(table, row, SendProtocol);
        const quint8 flags = (comboIndex(table, row, SendType) == 1 ? kFlagExtended : 0) |
                             (comboIndex(table, row, SendFormat) > 0 ? kFlagRemote : 0) |
                             (protocol == ProtocolCanFd || protocol == ProtocolFdBrs ? kFlagFd : 0) |
                             (protocol == ProtocolFdBrs ? kFlagBitRateSwitch : 0);
        const QComboBox *length = comboAt(table, row, SendLength);
        const QString lengthText = length ? length->currentText() : QString();
        putByte(frame, offset, checkStateAt(table, row) != Qt::Unchecked ? 1 : 0);
        putBe32(frame, offset + 1, numberValue(textAt(table, row, SendId), 16));
        putBe16(frame, offset + 5, addressValue(textAt(table, row, SendAddress)));
        putByte(frame, offset + 7, flags);
        putByte(frame, offset + 8, lengthText == tr("动态") ? kDynamicLength : quint8(lengthNumber(lengthText)));
    }
}

void CanMappingWidget::writeRecvBlock(QByteArray &frame) const
{
    zeroFill(frame, kSlotsOffset, kRecvBlockSize);
    const QTableWidget *table = ui->m_tableWidgetRecvMapping;
    for (int row = 0; row < qMin(table->rowCount(), kMaxRows); ++row) {
        const int offset = kSlotsOffset + kRecvRecordSize * row;
        const QComboBox *count = comboAt(table, row, RecvCount);
        putByte(frame, offset, checkStateAt(table, row) == Qt::Checked ? 1 : 0);
        putBe32(frame, offset + 1, numberValue(textAt(table, row, RecvId), 16));
        putBe16(frame, offset + 5, addressValue(textAt(table, row, RecvAddress)));
        putByte(frame, offset + 7, count ? quint8(count->currentText().toInt()) : 0);
    }
}

void CanMappingWidget::readSendBlock(const QByteArray &frame)
{
    readRows(true, frame);
}

void CanMappingWidget::readRows(bool send, const QByteArray &frame)
{
    QTableWidget *table = send ? ui->m_tableWidgetCanSendMapping : ui->m_tableWidgetRecvMapping;
    const int recordSize = send ? kSendRecordSize : kRecvRecordSize;
    startRefill(table);
    int rows = 0;
    for (; rows < kMaxRows; ++rows) {
        const int offset = kSlotsOffset + recordSize * rows;
        if (frame.size() < offset + recordSize || byteAt(frame, offset) == 0)
            break;
        if (rows < table->rowCount() && rowShows(send, rows, frame, offset))
            continue;
        const int row = takeRow(send, rows);
        if (send)
            fillSendRow(row, frame, offset);
        else
            fillRecvRow(row, frame, offset);
    }
    table->setRowCount(rows);
}

void CanMappingWidget::fillSendRow(int row, const QByteArray &frame, int offset)
{
    QTableWidget *table = ui->m_tableWidgetCanSendMapping;
    setCheckStateAt(table, row, Qt::Checked);
    editAt(table, row, SendAddress)->setText(QString::number(be16At(frame, offset + 5)));

    const quint8 flags = byteAt(frame, offset + 7);
    comboAt(table, row, SendProtocol)->setCurrentIndex(protocolOf(flags));
    // The frame type resets the identifier, so it goes first.
    comboAt(table, row, SendType)->setCurrentIndex(flags & kFlagExtended ? 1 : 0);
    setFrameFormat(row, flags & kFlagRemote);
    editAt(table, row, SendId)->setText(compactHexId(be32At(frame, offset + 1)));

    QComboBox *length = comboAt(table, row, SendLength);
    length->setCurrentIndex(lengthIndexOf(length, byteAt(frame, offset + 8)));
}

// Reading the same table again is the common case (every connect reads the
// device's tables): a reused row that already is what resetting and filling
// it would make of it is left alone. Anything else about it, a value, a
// highlight, an edit or an entry that would be reported, and it is refilled.
bool CanMappingWidget::rowShows(bool send, int row, const QByteArray &frame, int offset)
{
    // The lists follow the CAN page's mode, as a reset row's would.
    emit getcantype();
    return send ? sendRowShows(row, frame, offset) : recvRowShows(row, frame, offset);
}

bool CanMappingWidget::sendRowShows(int row, const QByteArray &frame, int offset) const
{
    const QTableWidget *table = ui->m_tableWidgetCanSendMapping;
    if (table->rowHeight(row) != kRowHeight || !hasCheckItem(table, row, SendCheck, checkItemFlags(), Qt::Checked) ||
        !cellsPlain(table, row, SendFormat, SendAddress))
        return false;
    const quint8 flags = byteAt(frame, offset + 7);
    const bool remote = flags & kFlagRemote;
    const QComboBox *format = comboAt(table, row, SendFormat);
    if (!format || format->count() != (remote ? 2 : 1) || format->currentIndex() != (remote ? 1 : 0) ||
        comboIndex(table, row, SendType) != (flags & kFlagExtended ? 1 : 0))
        return false;

    const int protocolIndex = protocolOf(flags);
    const QComboBox *protocol = comboAt(table, row, SendProtocol);
    if (!protocol || protocol->currentIndex() != protocolIndex || !followsRule(protocol, m_canMode))
        return false;
    const QComboBox *length = comboAt(table, row, SendLength);
    if (!length || !showsLength(length, byteAt(frame, offset + 8)) || !followsRule(length, protocolIndex))
        return false;

    const auto *id = dynamic_cast<const CanIdEdit *>(editAt(table, row, SendId));
    return id && id->shows(compactHexId(be32At(frame, offset + 1)), flags & kFlagExtended) &&
           showsText(editAt(table, row, SendAddress), QString::number(be16At(frame, offset + 5)));
}

bool CanMappingWidget::recvRowShows(int row, const QByteArray &frame, int offset) const
{
    const QTableWidget *table = ui->m_tableWidgetRecvMapping;
    if (table->rowHeight(row) != kRowHeight || !hasCheckItem(table, row, RecvCheck, checkItemFlags(), Qt::Checked) ||
        !cellsPlain(table, row, RecvId, RecvCount))
        return false;
    const auto *id = dynamic_cast<const CanIdEdit *>(editAt(table, row, RecvId));
    if (!id || !id->shows(compactHexId(be32At(frame, offset + 1)), true) ||
        !showsText(editAt(table, row, RecvAddress), QString::number(be16At(frame, offset + 5))))
        return false;
    // Entries are unique: the shown text stands for searching the list.
    const QComboBox *count = comboAt(table, row, RecvCount);
    return count && count->currentIndex() >= 0 && count->currentText() == QString::number(byteAt(frame, offset + 7)) &&
           followsRule(count, m_canMode);
}

void CanMappingWidget::readRecvBlock(const QByteArray &frame)
{
    readRows(false, frame);
}

void CanMappingWidget::fillRecvRow(int row, const QByteArray &frame, int offset)
{
    QTableWidget *table = ui->m_tableWidgetRecvMapping;
    setCheckStateAt(table, row, Qt::Checked);
    editAt(table, row, RecvId)->setText(compactHexId(be32At(frame, offset + 1)));
    editAt(table, row, RecvAddress)->setText(QString::number(be16At(frame, offset + 5)));
    QComboBox *count = comboAt(table, row, RecvCount);
    count->setCurrentIndex(count->findText(QString::number(byteAt(frame, offset + 7))));
}

// ---- validation -------------------------------------------------------------------

bool CanMappingWidget::validateMappings()
{
    const QTableWidget *send = ui->m_tableWidgetCanSendMapping;
    const QTableWidget *recv = ui->m_tableWidgetRecvMapping;
    QVector<RecvRange> ranges;
    const auto sendIdMaximum = [send](int row) {
        return comboIndex(send, row, SendType) == 1 ? kExtendedIdMax : kStandardIdMax;
    };
    const auto addressMaximum = [](int) { return quint32(0xFFFF); };
    const auto recvIdMaximum = [](int) { return kExtendedIdMax; };
    return validateUniqueColumn(send, SendId, 16, sendIdMaximum, tr("ID错误"), tr("ID重复"),
                                tr("CAN发送映射列表存在重复的ID")) &&
           validateUniqueColumn(send, SendAddress, 10, addressMaximum, tr("地址错误"), tr("寄存器地址重复"),
                                tr("CAN发送映射列表存在重复地址")) &&
           validateRecvRows(ranges) &&
           validateUniqueColumn(recv, RecvId, 16, recvIdMaximum, tr("ID错误"), tr("ID重复"),
                                tr("CAN接收映射列表存在重复的ID")) &&
           validateRecvRanges(ranges);
}

bool CanMappingWidget::fail(QWidget *first, QWidget *second, const QString &title, const QString &text,
                            const QString &button)
{
    for (QWidget *widget : {first, second})
        changeStyleSheet(widget, kHighlight);
    showMessageBox(QMessageBox::Warning, this, title, text, button.isEmpty() ? tr("请修改后重试") : button);
    return false;
}

// Values are compared, not texts: "7FF" and "7ff", or "010" and "10", clash.
// A text the block would not carry as it reads (unreadable, or beyond what
// the row's field holds: a file can bring such a text in) counts as empty.
bool CanMappingWidget::validateUniqueColumn(const QTableWidget *table, int column, int base,
                                            const std::function<quint32(int row)> &maximum,
                                            const QString &emptyTitle, const QString &duplicateTitle,
                                            const QString &duplicateText)
{
    for (int row = 0; row < table->rowCount(); ++row)
        changeStyleSheet(editAt(table, row, column), QString());
    QSet<quint32> seen;
    for (int row = 0; row < table->rowCount(); ++row) {
        QLineEdit *edit = editAt(table, row, column);
        const QString text = edit ? edit->text().trimmed() : QString();
        quint32 value = 0;
        if (text.isEmpty() || !readsWithin(text, base, maximum(row), value))
            return fail(edit, nullptr, emptyTitle, tr("请输入有效值"));
        if (seen.contains(value))
            return fail(edit, nullptr, duplicateTitle, duplicateText);
        seen.insert(value);
    }
    return true;
}

bool CanMappingWidget::validateRecvRows(QVector<RecvRange> &ranges)
{
    const QTableWidget *table = ui->m_tableWidgetRecvMapping;
    for (int row = 0; row < table->rowCount(); ++row) {
        QLineEdit *id = editAt(table, row, RecvId);
        QLineEdit *address = editAt(table, row, RecvAddress);
        QComboBox *count = comboAt(table, row, RecvCount);
        if (!id || !address || !count)
            continue;
        // Clearing first leaves only this run's findings highlighted in the row.
        for (QWidget *cell : {static_cast<QWidget *>(address), static_cast<QWidget *>(count),
                              static_cast<QWidget *>(id)})
            changeStyleSheet(cell, QString());
        quint32 value = 0;
        if (id->text().isEmpty() || !readsWithin(id->text(), 16, kExtendedIdMax, value))
            return fail(id, nullptr, tr("ID错误"), tr("请输入有效值"));
        bool startOk = false;
        bool countOk = false;
        const qint64 start = address->text().toInt(&startOk);
        // A start the block cannot carry (a file can bring one in) would go
        // out as 0.
        if (address->text().isEmpty() || (startOk && start > 0xFFFF))
            return fail(address, nullptr, tr("地址错误"), tr("请输入有效值"));

        const qint64 registers = count->currentText().toInt(&countOk);
        if (!startOk || !countOk || start < 0 || registers <= 0)
            return fail(address, count, tr("参数错误"), tr("地址或映射数量格式错误或无效"), tr("请检查后重试"));
        const qint64 end = start + registers - 1;
        if (end > 0xFFFF)
            return fail(address, count, tr("地址超出范围"),
                        tr("结束地址超出 65535 (0xFFFF)\n当前结束地址：%1 (0x%2)").arg(end).arg(end, 0, 16));
        ranges.append({int(start), int(end), address, count});
    }
    return true;
}

// Every ordered pair is looked at, so a range enclosing another is found
// whichever row comes first; ranges that only touch are fine.
bool CanMappingWidget::validateRecvRanges(const QVector<RecvRange> &ranges)
{
    for (int a = 0; a < ranges.size(); ++a) {
        for (int b = 0; b < ranges.size(); ++b) {
            const RecvRange &ra = ranges.at(a);
            const RecvRange &rb = ranges.at(b);
            const bool endInside = ra.start <= rb.end && rb.end <= ra.end;
            const bool startInside = ra.start <= rb.start && rb.start <= ra.end;
            if (a != b && (endInside || startInside))
                return fail(rb.address, rb.count, tr("区间重复"), tr("CAN接收映射列表存在区间重复"));
        }
    }
    return true;
}

// ---- configuration file -----------------------------------------------------------

QStringList CanMappingWidget::sendRowStrings() const
{
    QStringList rows;
    const QTableWidget *table = ui->m_tableWidgetCanSendMapping;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QStringList fields{QString::number(checkStateAt(table, row)),
                                 QString::number(comboIndex(table, row, SendFormat)),
                                 QString::number(comboIndex(table, row, SendType)),
                                 QString::number(comboIndex(table, row, SendProtocol)),
                                 QString::number(comboIndex(table, row, SendLength)),
                                 textAt(table, row, SendId),
                                 textAt(table, row, SendAddress)};
        rows << fields.join(QLatin1Char(',')) + QLatin1Char(',');
    }
    return rows;
}

QStringList CanMappingWidget::recvRowStrings() const
{
    QStringList rows;
    const QTableWidget *table = ui->m_tableWidgetRecvMapping;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QStringList fields{QString::number(checkStateAt(table, row)), textAt(table, row, RecvId),
                                 textAt(table, row, RecvAddress), QString::number(comboIndex(table, row, RecvCount))};
        rows << fields.join(QLatin1Char(',')) + QLatin1Char(',');
    }
    return rows;
}

QJsonObject CanMappingWidget::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("sendMap"), QJsonArray::fromStringList(sendRowStrings()));
    object.insert(QStringLiteral("recMap"), QJsonArray::fromStringList(recvRowStrings()));
    return object;
}

void CanMappingWidget::fromJson(const QJsonObject &object)
{
    startRefill(ui->m_tableWidgetCanSendMapping);
    startRefill(ui->m_tableWidgetRecvMapping);
    loadRows(true, object.value(QStringLiteral("sendMap")).toArray());
    loadRows(false, object.value(QStringLiteral("recMap")).toArray());
}

// A file may hold more rows than the device has slots: the first 32 are
// taken and the user is told once.
void CanMappingWidget::loadRows(bool send, const QJsonArray &rows)
{
    const int count = qMin(rows.size(), kMaxRows);
    for (int i = 0; i < count; ++i) {
        const int row = takeRow(send, i);
        const QString text = rows.at(i).toString();
        send ? loadSendRow(row, text) : loadRecvRow(row, text);
    }
    (send ? ui->m_tableWidgetCanSendMapping : ui->m_tableWidgetRecvMapping)->setRowCount(count);
    if (rows.size() > kMaxRows)
        showRowLimit();
}

void CanMappingWidget::loadSendRow(int row, const QString &text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    QTableWidget *table = ui->m_tableWidgetCanSendMapping;
    setCheckStateAt(table, row, checkStateFrom(intField(fields, 0)));
    setFrameFormat(row, intField(fields, 1));
    comboAt(table, row, SendType)->setCurrentIndex(intField(fields, 2));
    comboAt(table, row, SendProtocol)->setCurrentIndex(intField(fields, 3));
    comboAt(table, row, SendLength)->setCurrentIndex(intField(fields, 4));
    editAt(table, row, SendId)->setText(fields.value(5));
    editAt(table, row, SendAddress)->setText(fields.value(6));
}

void CanMappingWidget::loadRecvRow(int row, const QString &text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    QTableWidget *table = ui->m_tableWidgetRecvMapping;
    setCheckStateAt(table, row, checkStateFrom(intField(fields, 0)));
    editAt(table, row, RecvId)->setText(fields.value(1));
    editAt(table, row, RecvAddress)->setText(fields.value(2));
    comboAt(table, row, RecvCount)->setCurrentIndex(intField(fields, 3));
}
