#include "pages/SendMappingTable.h"

#include "pages/CanIdEdit.h"
#include "pages/CanMappingWidget.h"
#include "pages/TableCells.h"
#include "pages/TableColumns.h"
#include "protocol/ByteFields.h"
#include "protocol/CanRules.h"

#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>

using namespace Protocol;

namespace {

// Classic CAN carries at most 8 data bytes: longer lengths are offered only
// for CAN FD.
void enableLengths(QComboBox *length, int protocol)
{
    applyEntryRule(length, protocol,
                   [protocol](int i) { return lengthAllowed(protocol, sendLengthNumber(i)); });
}

// Signals stay quiet: the row handlers act on the selected row, which need
// not be this one.
void applyProtocolRule(QComboBox *protocol, int mode)
{
    const QSignalBlocker quiet(protocol);
    applyEntryRule(protocol, mode, [mode](int i) { return protocolAllowed(i, mode); });
    if (mode == ModeClassic)
        protocol->setCurrentIndex(ProtocolCan);
    else if (mode == ModeFd && protocol->currentIndex() == ProtocolCanFdBrs)
        protocol->setCurrentIndex(ProtocolCanFd);
}

QStringList protocolEntries()
{
    return {QStringLiteral("CAN"), QStringLiteral("CANFD"), MappingTable::tr("FD加速")};
}

} // namespace

SendMappingTable::SendMappingTable(CanMappingWidget *page, QTableWidget *table, const int &canMode,
                                   std::function<void()> askCanMode)
    : MappingTable(page, table, canMode, std::move(askCanMode)), m_mappingPage(page)
{
    setUpColumns({{SendFormat, 65}, {SendType, 65}, {SendProtocol, 70}, {SendLength, 80}, {SendId, 85}});
    fitColumns();
}

void SendMappingTable::fitColumns()
{
    for (int column = SendFormat; column <= SendAddress; ++column)
        fitColumnToHeader(m_table, column);
    fitColumnToComboBox(m_table, SendFormat, {tr("数据帧"), tr("远程帧")});
    fitColumnToComboBox(m_table, SendType, {tr("标准帧"), tr("扩展帧")});
    fitColumnToComboBox(m_table, SendProtocol, protocolEntries());
    fitColumnToComboBox(m_table, SendLength, {QStringLiteral("64"), tr("动态")});
    // Room for every column without scrolling sideways, also with the
    // vertical scroll bar: where a language's captions are longer the
    // window grows instead of hiding the register address.
    const QStyle *style = m_table->style();
    int width = 2 * m_table->frameWidth() + style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_table) +
                m_table->fontMetrics().horizontalAdvance(QStringLiteral("00")) +
                2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, m_table) + 4;
    for (int column = 0; column < m_table->columnCount(); ++column)
        width += m_table->columnWidth(column);
    m_table->setMinimumWidth(width);
}

// Cell widgets are made in the table's viewport, their final parent: moved
// there later, each would be restyled under the window's style sheet, which
// costs more than all else in filling a table.
void SendMappingTable::makeRow(int row)
{
    QWidget *cells = m_table->viewport();
    m_table->setItem(row, SendCheck, checkedItem());

    auto *format = new QComboBox(cells);
    format->addItem(tr("数据帧"));
    placeCellWidget(m_table, row, SendFormat, format);
    QObject::connect(format, QOverload<int>::of(&QComboBox::currentIndexChanged), m_mappingPage,
                     &CanMappingWidget::onCurrentChange);

    auto *type = new QComboBox(cells);
    type->addItems({tr("标准帧"), tr("扩展帧")});
    placeCellWidget(m_table, row, SendType, type);

    // List positions follow the protocol's send lengths; the last is dynamic.
    QStringList lengths;
    for (int i = 0; i < kSendLengthCount - 1; ++i)
        lengths << QString::number(kSendLengths[i]);
    QComboBox *length = new RuleList(cells, lengths << tr("动态"));
    placeCellWidget(m_table, row, SendLength, length);

    QComboBox *protocol = new RuleList(cells, protocolEntries());
    placeCellWidget(m_table, row, SendProtocol, protocol);
    QObject::connect(protocol, QOverload<int>::of(&QComboBox::currentIndexChanged), m_mappingPage,
                     &CanMappingWidget::onCurrentCANChange);
    // Whoever changes the protocol (user, reply, file), the row's own length
    // list must follow it.
    QObject::connect(protocol, QOverload<int>::of(&QComboBox::currentIndexChanged), length,
                     [length](int index) { enableLengths(length, index); });
    enableLengths(length, protocol->currentIndex());

    auto *id = new CanIdEdit(
        cells, [this](const QString &range) { reportIdRange(range); }, CanIdEdit::ReportInvalid);
    id->setFrameType(type->currentIndex() != 0);
    id->setText(QStringLiteral("00"));
    placeCellWidget(m_table, row, SendId, id);
    QObject::connect(type, QOverload<int>::of(&QComboBox::currentIndexChanged), id, [id](int index) {
        id->setFrameType(index != 0);
        id->setText(QStringLiteral("00"));
    });

    applyProtocolRule(protocol, askCanMode());

    placeCellWidget(m_table, row, SendAddress, makeAddressEdit());
    m_table->setRowHeight(row, kRowHeight);
}

void SendMappingTable::resetRow(int row)
{
    m_table->setItem(row, SendCheck, checkedItem());
    QComboBox *format = comboAt(m_table, row, SendFormat);
    format->setCurrentIndex(0);
    while (format->count() > 1)
        format->removeItem(format->count() - 1);
    comboAt(m_table, row, SendType)->setCurrentIndex(0);
    QComboBox *protocol = comboAt(m_table, row, SendProtocol);
    protocol->setCurrentIndex(ProtocolCan);
    QComboBox *length = comboAt(m_table, row, SendLength);
    length->setCurrentIndex(0);
    enableLengths(length, ProtocolCan);
    auto *id = dynamic_cast<CanIdEdit *>(editAt(m_table, row, SendId));
    id->setFrameType(false);
    id->setText(QStringLiteral("00"));
    editAt(m_table, row, SendAddress)->setText(QStringLiteral("00"));
    for (int column = SendFormat; column <= SendAddress; ++column)
        changeStyleSheet(m_table->cellWidget(row, column), QString());
    applyProtocolRule(protocol, m_canMode);
    m_table->setRowHeight(row, kRowHeight);
}

// Column 1 offers only "数据帧"; a row the device or a file marks as remote
// frame gets a second entry, so it stays visible and is written back as read.
void SendMappingTable::setFrameFormat(int row, int index)
{
    QComboBox *format = comboAt(m_table, row, SendFormat);
    if (!format)
        return;
    if (index != 0 && format->count() < 2)
        format->addItem(tr("远程帧"));
    format->setCurrentIndex(index != 0 ? 1 : 0);
}

int SendMappingTable::firstSelectedRow() const
{
    const QModelIndexList cells = m_table->selectionModel()->selectedIndexes();
    return cells.isEmpty() ? -1 : cells.first().row();
}

void SendMappingTable::formatChanged()
{
    const int row = firstSelectedRow();
    if (row < 0)
        return;
    if (QComboBox *protocol = comboAt(m_table, row, SendProtocol))
        protocol->setCurrentIndex(ProtocolCan);
    if (QComboBox *length = comboAt(m_table, row, SendLength))
        length->setCurrentIndex(0);
}

void SendMappingTable::protocolChanged(int index)
{
    const int row = firstSelectedRow();
    QComboBox *length = row < 0 ? nullptr : comboAt(m_table, row, SendLength);
    if (!length)
        return;
    enableLengths(length, index);
    // The list always holds lengths classic CAN can't carry.
    if (index == ProtocolCan)
        length->setCurrentIndex(0);
}

void SendMappingTable::applyCanMode(int mode)
{
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QComboBox *protocol = comboAt(m_table, row, SendProtocol);
        QComboBox *length = comboAt(m_table, row, SendLength);
        if (!protocol || !length)
            return;
        applyProtocolRule(protocol, mode);
        enableLengths(length, protocol->currentIndex());
        if (!lengthAllowed(protocol->currentIndex(), sendLengthNumber(length->currentIndex())))
            length->setCurrentIndex(sendLengthIndex(kClassicMaxLength));
    }
}

SendRecord SendMappingTable::recordOf(int row) const
{
    SendRecord record;
    record.enabled = checkStateAt(m_table, row) != Qt::Unchecked;
    record.canId = numberValue(textAt(m_table, row, SendId), 16);
    record.address = addressValue(textAt(m_table, row, SendAddress));
    record.flags = (comboIndex(m_table, row, SendType) == 1 ? kFlagExtended : 0) |
                   (comboIndex(m_table, row, SendFormat) > 0 ? kFlagRemote : 0) |
                   protocolFlags(comboIndex(m_table, row, SendProtocol));
    record.length = sendLengthByte(comboIndex(m_table, row, SendLength));
    return record;
}

SendMapping SendMappingTable::mapping() const
{
    SendMapping mapping;
    for (int row = 0; row < qMin(m_table->rowCount(), kMaxRows); ++row)
        mapping.records.append(recordOf(row));
    return mapping;
}

void SendMappingTable::read(const SendMapping &mapping)
{
    const QVector<SendRecord> &records = mapping.records;
    refill(
        records.size(), [&](int row) { return shows(row, records.at(row)); },
        [&](int row) { fill(row, records.at(row)); });
}

// A reused row is left alone when it reads back as the record, shows the
// texts filling it would set, without an edit or a highlight, and its lists
// follow the rules a new row's would.
bool SendMappingTable::shows(int row, const SendRecord &record) const
{
    if (!hasPlainRow(row, SendFormat, SendAddress) || recordOf(row) != record)
        return false;
    const bool remote = record.flags & kFlagRemote;
    const int protocol = protocolOf(record.flags);
    const auto *id = dynamic_cast<const CanIdEdit *>(editAt(m_table, row, SendId));
    return comboAt(m_table, row, SendFormat)->count() == (remote ? 2 : 1) &&
           followsRule(comboAt(m_table, row, SendProtocol), m_canMode) &&
           followsRule(comboAt(m_table, row, SendLength), protocol) && id &&
           id->shows(compactHexId(record.canId), record.flags & kFlagExtended) &&
           showsText(editAt(m_table, row, SendAddress), QString::number(record.address));
}

void SendMappingTable::fill(int row, const SendRecord &record)
{
    setCheckStateAt(m_table, row, Qt::Checked);
    editAt(m_table, row, SendAddress)->setText(QString::number(record.address));
    comboAt(m_table, row, SendProtocol)->setCurrentIndex(protocolOf(record.flags));
    // The frame type resets the identifier, so it goes first.
    comboAt(m_table, row, SendType)->setCurrentIndex(record.flags & kFlagExtended ? 1 : 0);
    setFrameFormat(row, record.flags & kFlagRemote);
    editAt(m_table, row, SendId)->setText(compactHexId(record.canId));
    comboAt(m_table, row, SendLength)->setCurrentIndex(sendLengthIndex(record.length));
}

QVector<SendRowTexts> SendMappingTable::validationRows() const
{
    QVector<SendRowTexts> rows;
    for (int row = 0; row < m_table->rowCount(); ++row)
        rows.append({comboIndex(m_table, row, SendType) == 1, textAt(m_table, row, SendId),
                     textAt(m_table, row, SendAddress)});
    return rows;
}

QString SendMappingTable::rowString(int row) const
{
    return fieldsText({fieldNumber(checkStateAt(m_table, row)), fieldNumber(comboIndex(m_table, row, SendFormat)),
                       fieldNumber(comboIndex(m_table, row, SendType)),
                       fieldNumber(comboIndex(m_table, row, SendProtocol)),
                       fieldNumber(comboIndex(m_table, row, SendLength)), textAt(m_table, row, SendId),
                       textAt(m_table, row, SendAddress)});
}

void SendMappingTable::loadRow(int row, const QStringList &fields)
{
    setCheckStateAt(m_table, row, checkStateFromNumber(intField(fields, 0)));
    setFrameFormat(row, intField(fields, 1));
    comboAt(m_table, row, SendType)->setCurrentIndex(intField(fields, 2));
    comboAt(m_table, row, SendProtocol)->setCurrentIndex(intField(fields, 3));
    comboAt(m_table, row, SendLength)->setCurrentIndex(intField(fields, 4));
    editAt(m_table, row, SendId)->setText(fields.value(5));
    editAt(m_table, row, SendAddress)->setText(fields.value(6));
}
