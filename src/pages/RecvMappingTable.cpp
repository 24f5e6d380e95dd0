#include "pages/RecvMappingTable.h"

#include "pages/CanIdEdit.h"
#include "pages/TableCells.h"
#include "pages/TableColumns.h"
#include "protocol/ByteFields.h"
#include "protocol/CanRules.h"

#include <QLineEdit>
#include <QTableWidget>

using namespace Protocol;

namespace {

// The count list holds 1..32 registers; its position is the count - 1.
int countIndexOf(int count)
{
    return count >= 1 && count <= MappingTable::kMaxRows ? count - 1 : -1;
}

// Classic CAN frames hold up to four registers.
void applyCountRule(QComboBox *count, int mode)
{
    applyEntryRule(count, mode, [mode](int i) { return countAllowed(i, mode); });
    if (mode == ModeClassic && count->currentIndex() >= kClassicMaxRegisters)
        count->setCurrentIndex(kClassicMaxRegisters - 1);
}

} // namespace

RecvMappingTable::RecvMappingTable(QWidget *page, QTableWidget *table, const int &canMode,
                                   std::function<void()> askCanMode)
    : MappingTable(page, table, canMode, std::move(askCanMode))
{
    setUpColumns({{RecvId, 105}, {RecvAddress, 130}, {RecvCount, 90}});
    for (int column = RecvId; column <= RecvCount; ++column)
        fitColumnToHeader(m_table, column);
    fitColumnToComboBox(m_table, RecvCount, {QStringLiteral("32")});
}

void RecvMappingTable::makeRow(int row)
{
    QWidget *cells = m_table->viewport();
    m_table->setRowHeight(row, kRowHeight);
    m_table->setItem(row, RecvCheck, checkedItem());

    auto *id = new CanIdEdit(
        cells, [this](const QString &range) { reportIdRange(range); }, CanIdEdit::QuietInvalid);
    id->setFrameType(true); // receive identifiers may always be extended
    id->setText(QStringLiteral("00"));
    placeCellWidget(m_table, row, RecvId, id);
    placeCellWidget(m_table, row, RecvAddress, makeAddressEdit());

    QStringList counts;
    for (int n = 1; n <= kMaxRows; ++n)
        counts << QString::number(n);
    QComboBox *count = new RuleList(cells, counts);
    placeCellWidget(m_table, row, RecvCount, count);

    applyCountRule(count, askCanMode());
}

void RecvMappingTable::resetRow(int row)
{
    m_table->setRowHeight(row, kRowHeight);
    m_table->setItem(row, RecvCheck, checkedItem());
    auto *id = dynamic_cast<CanIdEdit *>(editAt(m_table, row, RecvId));
    id->setFrameType(true);
    id->setText(QStringLiteral("00"));
    editAt(m_table, row, RecvAddress)->setText(QStringLiteral("00"));
    QComboBox *count = comboAt(m_table, row, RecvCount);
    count->setCurrentIndex(0);
    for (int column = RecvId; column <= RecvCount; ++column)
        changeStyleSheet(m_table->cellWidget(row, column), QString());
    applyCountRule(count, m_canMode);
}

void RecvMappingTable::applyCanMode(int mode)
{
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QComboBox *count = comboAt(m_table, row, RecvCount);
        if (!count)
            return;
        applyCountRule(count, mode);
    }
}

// A partly checked row goes out as off.
RecvRecord RecvMappingTable::recordOf(int row) const
{
    RecvRecord record;
    record.enabled = checkStateAt(m_table, row) == Qt::Checked;
    record.canId = numberValue(textAt(m_table, row, RecvId), 16);
    record.address = addressValue(textAt(m_table, row, RecvAddress));
    const int count = comboIndex(m_table, row, RecvCount);
    record.count = count >= 0 ? quint8(count + 1) : 0;
    return record;
}

RecvMapping RecvMappingTable::mapping() const
{
    RecvMapping mapping;
    for (int row = 0; row < qMin(m_table->rowCount(), kMaxRows); ++row)
        mapping.records.append(recordOf(row));
    return mapping;
}

void RecvMappingTable::read(const RecvMapping &mapping)
{
    const QVector<RecvRecord> &records = mapping.records;
    refill(
        records.size(), [&](int row) { return shows(row, records.at(row)); },
        [&](int row) { fill(row, records.at(row)); });
}

// A reused row is left alone when it reads back as the record, shows the
// texts filling it would set, without an edit or a highlight, and its count
// list follows the CAN mode.
bool RecvMappingTable::shows(int row, const RecvRecord &record) const
{
    const auto *id = dynamic_cast<const CanIdEdit *>(editAt(m_table, row, RecvId));
    return hasPlainRow(row, RecvId, RecvCount) && recordOf(row) == record && id &&
           id->shows(compactHexId(record.canId), true) &&
           showsText(editAt(m_table, row, RecvAddress), QString::number(record.address)) &&
           comboIndex(m_table, row, RecvCount) >= 0 &&
           followsRule(comboAt(m_table, row, RecvCount), m_canMode);
}

void RecvMappingTable::fill(int row, const RecvRecord &record)
{
    setCheckStateAt(m_table, row, Qt::Checked);
    editAt(m_table, row, RecvId)->setText(compactHexId(record.canId));
    editAt(m_table, row, RecvAddress)->setText(QString::number(record.address));
    comboAt(m_table, row, RecvCount)->setCurrentIndex(countIndexOf(record.count));
}

QVector<RecvRowTexts> RecvMappingTable::validationRows() const
{
    QVector<RecvRowTexts> rows;
    for (int row = 0; row < m_table->rowCount(); ++row)
        rows.append({textAt(m_table, row, RecvId), textAt(m_table, row, RecvAddress),
                     comboIndex(m_table, row, RecvCount)});
    return rows;
}

QString RecvMappingTable::rowString(int row) const
{
    return fieldsText({fieldNumber(checkStateAt(m_table, row)), textAt(m_table, row, RecvId),
                       textAt(m_table, row, RecvAddress), fieldNumber(comboIndex(m_table, row, RecvCount))});
}

void RecvMappingTable::loadRow(int row, const QStringList &fields)
{
    setCheckStateAt(m_table, row, checkStateFromNumber(intField(fields, 0)));
    editAt(m_table, row, RecvId)->setText(fields.value(1));
    editAt(m_table, row, RecvAddress)->setText(fields.value(2));
    comboAt(m_table, row, RecvCount)->setCurrentIndex(intField(fields, 3));
}
