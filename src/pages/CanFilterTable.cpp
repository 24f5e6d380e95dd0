#include "pages/CanFilterTable.h"

#include "common/MessageBox.h"
#include "pages/CanParamWidget.h"
#include "pages/CellWidgets.h"
#include "pages/TableCells.h"
#include "pages/TableColumns.h"
#include "protocol/ByteFields.h"

#include <QComboBox>
#include <QHash>
#include <QHeaderView>
#include <QJsonObject>
#include <QTableWidget>

#include <algorithm>

using Protocol::FilterRecord;

namespace {

constexpr int kFrameTypes = 2;
constexpr int kFilterTypes = 3;
constexpr int kNarrowColumnWidth = 30;
constexpr int kColumnWidth = 90;

const char kKeyCount[] = "NumberFilters";
const char kKeyFrameType[] = "frametype_";
const char kKeyFilterType[] = "Filterstype_";
const char kKeyId1[] = "IDaddress_";
const char kKeyId2[] = "Taddress_";

QTableWidgetItem *enabledItem()
{
    auto *item = new QTableWidgetItem;
    item->setCheckState(Qt::Checked);
    return item;
}

QString rowKey(const char *name, int row)
{
    // A save or backup picture names every row's four values: the names of
    // the rows a table can hold are made once.
    static const auto made = [] {
        QHash<const char *, QStringList> keys;
        for (const char *kind : {kKeyFrameType, kKeyFilterType, kKeyId1, kKeyId2}) {
            for (int i = 0; i < CanFilterTable::kMaxRows; ++i)
                keys[kind] << QLatin1String(kind) + QString::number(i);
        }
        return keys;
    }();
    const QStringList names = made.value(name);
    return row >= 0 && row < names.size() ? names.at(row) : QLatin1String(name) + QString::number(row);
}

// Both identifiers take the frame type's pattern; an extended one starts
// again from "00".
void applyFrameType(CanIdEdit *id1, CanIdEdit *id2, int frameType)
{
    const bool extended = frameType != 0;
    for (CanIdEdit *edit : {id1, id2}) {
        edit->setFrameType(extended);
        if (extended)
            edit->setText(QStringLiteral("00"));
    }
}

} // namespace

CanFilterTable::CanFilterTable(CanParamWidget *page, QTableWidget *table, CanIdEdit::Report report)
    : m_page(page), m_table(table), m_report(std::move(report))
{
    // The form cannot hold a caption of a single blank (uic drops it).
    if (QTableWidgetItem *blank = table->horizontalHeaderItem(EnabledColumn))
        blank->setText(QStringLiteral(" "));
    // Some styles set a larger minimum than the check column needs.
    QHeaderView *header = table->horizontalHeader();
    header->setMinimumSectionSize(std::min(header->minimumSectionSize(), kNarrowColumnWidth));
    table->setColumnWidth(EnabledColumn, kNarrowColumnWidth);
    for (int column = FrameTypeColumn; column <= Id2Column; ++column) {
        table->setColumnWidth(column, kColumnWidth);
        fitColumnToHeader(table, column);
    }
    fitColumnToComboBox(table, FrameTypeColumn, {tr("标准帧"), tr("扩展帧")});
    fitColumnToComboBox(table, FilterTypeColumn, {tr("明确 ID"), tr("范围 ID"), tr("掩码 ID")});
    header->setSectionsClickable(false);
}

QComboBox *CanFilterTable::comboAt(int row, int column) const
{
    return qobject_cast<QComboBox *>(CellWidgets::at(m_table, row, column));
}

CanIdEdit *CanFilterTable::idAt(int row, int column) const
{
    return dynamic_cast<CanIdEdit *>(CellWidgets::at(m_table, row, column));
}

void CanFilterTable::showLimitBox()
{
    showMessageBox(QMessageBox::Information, m_page, tr("提示"), tr("最多28条数据"));
}

void CanFilterTable::addRow()
{
    if (m_table->rowCount() >= kMaxRows) {
        showLimitBox();
        return;
    }
    appendRow();
}

void CanFilterTable::deleteSelectedRows()
{
    ::deleteSelectedRows(m_table);
}

void CanFilterTable::clear()
{
    if (m_table->rowCount() > 0)
        m_table->setRowCount(0);
}

void CanFilterTable::appendRow()
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setItem(row, EnabledColumn, enabledItem());

    // Made in their final parent: moving them there later restyles each one.
    QWidget *cells = m_table->viewport();
    auto *frameType = new QComboBox(cells);
    frameType->addItems({tr("标准帧"), tr("扩展帧")});
    auto *filterType = new QComboBox(cells);
    filterType->addItems({tr("明确 ID"), tr("范围 ID"), tr("掩码 ID")});
    QObject::connect(filterType, QOverload<int>::of(&QComboBox::currentIndexChanged), m_page,
                     &CanParamWidget::oncomboxCurrenttextChange);
    auto *id1 = new CanIdEdit(cells, m_report, CanIdEdit::ReportInvalid);
    auto *id2 = new CanIdEdit(cells, m_report, CanIdEdit::ReportInvalid);
    for (CanIdEdit *edit : {id1, id2})
        edit->setText(QStringLiteral("00"));
    placeCellWidget(m_table, row, FrameTypeColumn, frameType);
    placeCellWidget(m_table, row, FilterTypeColumn, filterType);
    placeCellWidget(m_table, row, Id1Column, id1);
    placeCellWidget(m_table, row, Id2Column, id2);

    applyFrameType(id1, id2, frameType->currentIndex());
    // The rule holds the row's own widgets, not its number: rows move up
    // when others are deleted.
    QObject::connect(frameType, QOverload<int>::of(&QComboBox::currentIndexChanged), id1,
                     [id1, id2](int index) { applyFrameType(id1, id2, index); });
}

// Refills reuse the rows already there: building cell widgets is what makes
// reading a reply slow. A reused row is first put back into a new row's state.
void CanFilterTable::takeRow(int row)
{
    if (row < m_table->rowCount())
        resetRow(row);
    else
        appendRow();
}

void CanFilterTable::resetRow(int row)
{
    m_table->setItem(row, EnabledColumn, enabledItem());
    CanIdEdit *id1 = idAt(row, Id1Column);
    CanIdEdit *id2 = idAt(row, Id2Column);
    for (CanIdEdit *edit : {id1, id2})
        edit->setText(QStringLiteral("00"));
    comboAt(row, FrameTypeColumn)->setCurrentIndex(0);
    comboAt(row, FilterTypeColumn)->setCurrentIndex(0);
    applyFrameType(id1, id2, 0);
}

void CanFilterTable::fillRow(int row, int frameType, int filterType, const QString &id1, const QString &id2)
{
    comboAt(row, FrameTypeColumn)->setCurrentIndex(frameType);
    comboAt(row, FilterTypeColumn)->setCurrentIndex(filterType);
    idAt(row, Id1Column)->setText(id1);
    idAt(row, Id2Column)->setText(id2);
}

FilterRecord CanFilterTable::recordOf(int row) const
{
    return {quint8(comboAt(row, FrameTypeColumn)->currentIndex()),
            quint8(comboAt(row, FilterTypeColumn)->currentIndex()),
            hexTextToWord(idAt(row, Id1Column)->text()), hexTextToWord(idAt(row, Id2Column)->text())};
}

QVector<FilterRecord> CanFilterTable::records() const
{
    QVector<FilterRecord> records;
    for (int row = 0; row < m_table->rowCount(); ++row)
        records.append(recordOf(row));
    return records;
}

// Reading the same table again is the common case (every connect reads the
// device's filters): a reused row is left alone when it reads back as the
// record, shows the texts filling it would set, without an edit, and would
// take them without a word.
bool CanFilterTable::shows(int row, const FilterRecord &record) const
{
    static const Qt::ItemFlags newItemFlags = QTableWidgetItem().flags();
    if (row >= m_table->rowCount() || !hasCheckItem(m_table, row, EnabledColumn, newItemFlags, Qt::Checked) ||
        record.frameType >= kFrameTypes || record.filterType >= kFilterTypes || recordOf(row) != record)
        return false;
    const bool extended = record.frameType != 0;
    const CanIdEdit *id1 = idAt(row, Id1Column);
    const CanIdEdit *id2 = idAt(row, Id2Column);
    return id1 && id2 && id1->shows(compactHexId(record.id1), extended) &&
           id2->shows(compactHexId(record.id2), extended);
}

void CanFilterTable::read(const QVector<FilterRecord> &records)
{
    for (int row = 0; row < records.size(); ++row) {
        const FilterRecord &record = records.at(row);
        if (shows(row, record))
            continue;
        takeRow(row);
        fillRow(row, record.frameType, record.filterType, compactHexId(record.id1), compactHexId(record.id2));
    }
    m_table->setRowCount(records.size());
}

QVector<CanFilterTable::FileRow> CanFilterTable::fileRows() const
{
    QVector<FileRow> rows;
    rows.reserve(m_table->rowCount());
    for (int row = 0; row < m_table->rowCount(); ++row)
        rows.append({comboAt(row, FrameTypeColumn)->currentIndex(), comboAt(row, FilterTypeColumn)->currentIndex(),
                     idAt(row, Id1Column)->text(), idAt(row, Id2Column)->text()});
    return rows;
}

void CanFilterTable::toJson(const QVector<FileRow> &rows, QJsonObject &object)
{
    object.insert(QLatin1String(kKeyCount), rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        object.insert(rowKey(kKeyFrameType, row), rows.at(row).frameType);
        object.insert(rowKey(kKeyFilterType, row), rows.at(row).filterType);
        object.insert(rowKey(kKeyId1, row), rows.at(row).id1);
        object.insert(rowKey(kKeyId2, row), rows.at(row).id2);
    }
}

void CanFilterTable::fromJson(const QJsonObject &object)
{
    // Any number may stand in a file: negative or huge counts must neither
    // hang nor grow the table past its limit.
    const int announced = object.value(QLatin1String(kKeyCount)).toInt();
    const int rows = std::clamp(announced, 0, kMaxRows);
    for (int row = 0; row < rows; ++row) {
        takeRow(row);
        fillRow(row, object.value(rowKey(kKeyFrameType, row)).toInt(),
                object.value(rowKey(kKeyFilterType, row)).toInt(),
                object.value(rowKey(kKeyId1, row)).toString(), object.value(rowKey(kKeyId2, row)).toString());
    }
    m_table->setRowCount(rows);
    if (announced > kMaxRows)
        showLimitBox();
}
