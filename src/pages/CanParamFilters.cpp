// The acceptance-filter half of CanParamWidget: the filter check box, the
// filter table with its context menu, the 0x04 / 0x05 filter frames and the
// filter keys of the "CANParam" object.
#include "pages/CanParamWidget.h"

#include "app/MessageBox.h"
#include "protocol/ByteFields.h"

#include "pages/TableCells.h"
#include "pages/TableColumns.h"
#include "ui_CanParamWidget.h"

#include <QComboBox>
#include <QCursor>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>

#include <algorithm>

namespace {

enum FilterColumn { EnabledColumn, FrameTypeColumn, FilterTypeColumn, Id1Column, Id2Column };

constexpr int kRangeFilter = 1;
constexpr int kFrameTypes = 2;
constexpr int kFilterTypes = 3;

// The 0x04 frame has room for 28 records (7 + 28 x 12 = 343) before its
// eight 0xFF bytes; a longer table would overwrite them and grow the frame.
constexpr int kMaxFilterRows = 28;

constexpr int kEnableOffset = 3;
constexpr int kCountOffset = 5;
constexpr int kFirstRecordOffset = 7;
constexpr int kRecordSize = 12;
constexpr int kTrailerOffset = 343;
constexpr int kTrailerSize = 8;
constexpr int kCrcSize = 2;

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
    return QLatin1String(name) + QString::number(row);
}

} // namespace

void CanParamWidget::setupFilterTable()
{
    QTableWidget *table = ui->tableWidget;
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

    m_filterMenu = new QMenu(this);
    m_filterMenu->addAction(ui->m_actionFilterDelete);
    m_filterMenu->addAction(ui->m_actionFilterAdd);

    connect(ui->checkBox, &QCheckBox::toggled, this, &CanParamWidget::oncheckBox);
    connect(table, &QWidget::customContextMenuRequested, this,
            &CanParamWidget::onCanSendMappingCustomContextMenuRequested);
    connect(ui->m_actionFilterDelete, &QAction::triggered, this, &CanParamWidget::onActionSendMappingDelete);
    connect(ui->m_actionFilterAdd, &QAction::triggered, this, &CanParamWidget::onActionSendMappingAdd);
}

void CanParamWidget::oncheckBox(bool checked) { ui->tableWidget->setEnabled(checked); }

void CanParamWidget::onCanSendMappingCustomContextMenuRequested(const QPoint &)
{
    m_filterMenu->exec(QCursor::pos());
}

// ---- rows ----

void CanParamWidget::onActionSendMappingAdd()
{
    if (ui->tableWidget->rowCount() >= kMaxFilterRows) {
        showFilterLimitBox();
        return;
    }
    appendFilterRow();
}

void CanParamWidget::appendFilterRow()
{
    QTableWidget *table = ui->tableWidget;
    const int row = table->rowCount();
    table->insertRow(row);

    table->setItem(row, EnabledColumn, enabledItem());

    // Made in their final parent: moving them there later restyles each one.
    QWidget *cells = table->viewport();
    auto *frameType = new QComboBox(cells);
    frameType->addItems({tr("标准帧"), tr("扩展帧")});
    auto *filterType = new QComboBox(cells);
    filterType->addItems({tr("明确 ID"), tr("范围 ID"), tr("掩码 ID")});
    connect(filterType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CanParamWidget::oncomboxCurrenttextChange);
    auto *id1 = new QLineEdit(QStringLiteral("00"), cells);
    auto *id2 = new QLineEdit(QStringLiteral("00"), cells);
    table->setCellWidget(row, FrameTypeColumn, frameType);
    table->setCellWidget(row, FilterTypeColumn, filterType);
    table->setCellWidget(row, Id1Column, id1);
    table->setCellWidget(row, Id2Column, id2);

    applyRowFrameType(id1, id2, frameType->currentIndex());
    // The rules hold the row's own widgets, not its number: rows move up
    // when others are deleted.
    connect(frameType, QOverload<int>::of(&QComboBox::currentIndexChanged), id1,
            [this, id1, id2](int index) { applyRowFrameType(id1, id2, index); });
    for (QLineEdit *edit : {id1, id2})
        connect(edit, &QLineEdit::textChanged, edit, [this, edit](const QString &text) { checkRowId(edit, text); });
}

// Refills reuse the rows already there: building cell widgets is what makes
// reading a reply slow. A reused row is first put back into a new row's state.
void CanParamWidget::takeFilterRow(int row)
{
    if (row < ui->tableWidget->rowCount())
        resetFilterRow(row);
    else
        appendFilterRow();
}

void CanParamWidget::resetFilterRow(int row)
{
    QTableWidget *table = ui->tableWidget;
    table->setItem(row, EnabledColumn, enabledItem());
    auto *id1 = qobject_cast<QLineEdit *>(table->cellWidget(row, Id1Column));
    auto *id2 = qobject_cast<QLineEdit *>(table->cellWidget(row, Id2Column));
    for (QLineEdit *edit : {id1, id2})
        edit->setText(QStringLiteral("00"));
    qobject_cast<QComboBox *>(table->cellWidget(row, FrameTypeColumn))->setCurrentIndex(0);
    qobject_cast<QComboBox *>(table->cellWidget(row, FilterTypeColumn))->setCurrentIndex(0);
    applyRowFrameType(id1, id2, 0);
}

void CanParamWidget::applyRowFrameType(QLineEdit *id1, QLineEdit *id2, int frameType)
{
    const bool extended = frameType != 0;
    for (QLineEdit *edit : {id1, id2}) {
        setIdPattern(edit, extended);
        if (extended)
            edit->setText(QStringLiteral("00"));
    }
}

bool CanParamWidget::idInRange(const QLineEdit *edit, const QString &text)
{
    return unsignedHex(text) <= (hasExtendedPattern(edit) ? kMaxExtendedId : kMaxStandardId);
}

void CanParamWidget::checkRowId(QLineEdit *edit, const QString &text)
{
    if (text.isEmpty())
        return;
    const bool extended = hasExtendedPattern(edit);
    if (!idInRange(edit, text)) {
        showIdRangeBox(extended ? QStringLiteral("0x00-0x1FFFFFFF") : QStringLiteral("0x00-0x7ff"));
        edit->undo();
    }
    QString candidate = text;
    int position = 0;
    if (edit->validator() && edit->validator()->validate(candidate, position) != QValidator::Acceptable) {
        showIdRangeBox(extended ? QStringLiteral("0x00-0x1FFFFFFF") : QStringLiteral("0x00-0x7FF"));
        edit->undo();
    }
}

int CanParamWidget::rangeCheckRow() const
{
    const QTableWidget *table = ui->tableWidget;
    const QModelIndexList cells = table->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return -1;
    // The row whose own box changed, and only while it is selected: a
    // change elsewhere must not rewrite the selected row.
    if (const auto *changed = qobject_cast<const QComboBox *>(sender())) {
        for (const QModelIndex &cell : cells) {
            if (table->cellWidget(cell.row(), FilterTypeColumn) == changed)
                return cell.row();
        }
        return -1;
    }
    return cells.first().row();
}

void CanParamWidget::oncomboxCurrenttextChange(int index)
{
    if (index != kRangeFilter)
        return;
    const int row = rangeCheckRow();
    if (row < 0)
        return;
    QTableWidget *table = ui->tableWidget;
    auto *id1 = qobject_cast<QLineEdit *>(table->cellWidget(row, Id1Column));
    auto *id2 = qobject_cast<QLineEdit *>(table->cellWidget(row, Id2Column));
    if (static_cast<qint32>(hexTextToWord(id2->text())) > static_cast<qint32>(hexTextToWord(id1->text())))
        return;
    showMessageBox(QMessageBox::Information, this, tr("提示"), tr("ID 2 小于或等于 小于ID 1"));
    qobject_cast<QComboBox *>(table->cellWidget(row, FilterTypeColumn))->setCurrentIndex(0);
    id2->clear();
}

void CanParamWidget::onActionSendMappingDelete()
{
    QList<int> rows;
    for (const QModelIndex &cell : ui->tableWidget->selectionModel()->selectedIndexes())
        rows << cell.row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        ui->tableWidget->removeRow(*it);
}

void CanParamWidget::clearFilterTable()
{
    if (ui->tableWidget->rowCount() > 0)
        ui->tableWidget->setRowCount(0);
}

void CanParamWidget::fillFilterRow(int row, int frameType, int filterType, const QString &id1, const QString &id2)
{
    QTableWidget *table = ui->tableWidget;
    qobject_cast<QComboBox *>(table->cellWidget(row, FrameTypeColumn))->setCurrentIndex(frameType);
    qobject_cast<QComboBox *>(table->cellWidget(row, FilterTypeColumn))->setCurrentIndex(filterType);
    qobject_cast<QLineEdit *>(table->cellWidget(row, Id1Column))->setText(id1);
    qobject_cast<QLineEdit *>(table->cellWidget(row, Id2Column))->setText(id2);
}

// Reading the same table again is the common case (every connect reads the
// device's filters): a reused row that already is what resetting and filling
// it would make of it is left alone. Anything else about it, a value, an
// edit, a value that would be reported, and it is refilled.
bool CanParamWidget::filterRowShows(int row, int frameType, int filterType, const QString &id1,
                                    const QString &id2) const
{
    const QTableWidget *table = ui->tableWidget;
    static const Qt::ItemFlags newItemFlags = QTableWidgetItem().flags();
    if (row >= table->rowCount() || !hasCheckItem(table, row, EnabledColumn, newItemFlags, Qt::Checked))
        return false;
    const auto *frameTypes = qobject_cast<const QComboBox *>(table->cellWidget(row, FrameTypeColumn));
    const auto *filterTypes = qobject_cast<const QComboBox *>(table->cellWidget(row, FilterTypeColumn));
    if (frameType < 0 || frameType >= kFrameTypes || filterType < 0 || filterType >= kFilterTypes || !frameTypes ||
        !filterTypes || frameTypes->currentIndex() != frameType || filterTypes->currentIndex() != filterType)
        return false;
    const QPair<int, const QString *> ids[] = {{Id1Column, &id1}, {Id2Column, &id2}};
    for (const auto &id : ids) {
        const auto *edit = qobject_cast<const QLineEdit *>(table->cellWidget(row, id.first));
        QString text = *id.second;
        int position = 0;
        if (!edit || hasExtendedPattern(edit) != (frameType != 0) || !showsText(edit, text) ||
            !idInRange(edit, text) || !edit->validator() ||
            edit->validator()->validate(text, position) != QValidator::Acceptable)
            return false;
    }
    return true;
}

void CanParamWidget::showFilterLimitBox()
{
    showMessageBox(QMessageBox::Information, this, tr("提示"), tr("最多28条数据"));
}

// ---- frames ----

void CanParamWidget::writeFilterBlock(QByteArray &frame) const
{
    const QTableWidget *table = ui->tableWidget;
    const int rows = table->rowCount();
    putByte(frame, kEnableOffset, ui->checkBox->checkState() != Qt::Unchecked ? 1 : 0);
    putByte(frame, kEnableOffset + 1, 0);
    putByte(frame, kCountOffset, quint8(rows));
    putByte(frame, kCountOffset + 1, 0);
    for (int row = 0; row < rows; ++row) {
        const int base = kFirstRecordOffset + kRecordSize * row;
        const auto *frameType = qobject_cast<const QComboBox *>(table->cellWidget(row, FrameTypeColumn));
        const auto *filterType = qobject_cast<const QComboBox *>(table->cellWidget(row, FilterTypeColumn));
        const auto *id1 = qobject_cast<const QLineEdit *>(table->cellWidget(row, Id1Column));
        const auto *id2 = qobject_cast<const QLineEdit *>(table->cellWidget(row, Id2Column));
        putByte(frame, base, quint8(frameType->currentIndex()));
        putByte(frame, base + 1, quint8(filterType->currentIndex()));
        putBe16(frame, base + 2, 0);
        putBe32(frame, base + 4, hexTextToWord(id1->text()));
        putBe32(frame, base + 8, hexTextToWord(id2->text()));
    }
    for (int i = 0; i < kTrailerSize; ++i)
        putByte(frame, kTrailerOffset + i, 0xFF);
}

void CanParamWidget::readFilterBlock()
{
    if (!replyBuffer)
        return;
    const QByteArray &reply = *replyBuffer;
    // Nothing stays selected, as when the rows were removed: the filter
    // type rule acts on the selected row.
    ui->tableWidget->selectionModel()->clear();
    ui->checkBox->setChecked(byteAt(reply, kEnableOffset) != 0);

    // Records end where the reply's payload ends, whatever it announces.
    const int announced = byteAt(reply, kCountOffset);
    const int inReply = std::max(0, (reply.size() - kCrcSize - kFirstRecordOffset) / kRecordSize);
    const int rows = std::min({announced, kMaxFilterRows, inReply});
    for (int row = 0; row < rows; ++row) {
        const int base = kFirstRecordOffset + kRecordSize * row;
        const int frameType = byteAt(reply, base);
        const int filterType = byteAt(reply, base + 1);
        const QString id1 = compactHexId(be32At(reply, base + 4));
        const QString id2 = compactHexId(be32At(reply, base + 8));
        if (filterRowShows(row, frameType, filterType, id1, id2))
            continue;
        takeFilterRow(row);
        fillFilterRow(row, frameType, filterType, id1, id2);
    }
    ui->tableWidget->setRowCount(rows);
    // The surplus is dropped with one notice, not one box per row.
    if (announced > kMaxFilterRows)
        showFilterLimitBox();
}

// ---- file ----

void CanParamWidget::filtersToJson(QJsonObject &object) const
{
    const QTableWidget *table = ui->tableWidget;
    const int rows = table->rowCount();
    object.insert(QLatin1String(kKeyCount), rows);
    for (int row = 0; row < rows; ++row) {
        object.insert(rowKey(kKeyFrameType, row),
                      qobject_cast<const QComboBox *>(table->cellWidget(row, FrameTypeColumn))->currentIndex());
        object.insert(rowKey(kKeyFilterType, row),
                      qobject_cast<const QComboBox *>(table->cellWidget(row, FilterTypeColumn))->currentIndex());
        object.insert(rowKey(kKeyId1, row), qobject_cast<const QLineEdit *>(table->cellWidget(row, Id1Column))->text());
        object.insert(rowKey(kKeyId2, row), qobject_cast<const QLineEdit *>(table->cellWidget(row, Id2Column))->text());
    }
}

void CanParamWidget::filtersFromJson(const QJsonObject &object)
{
    // Any number may stand in a file: negative or huge counts must neither
    // hang nor grow the table past its limit.
    const int announced = object.value(QLatin1String(kKeyCount)).toInt();
    const int rows = std::clamp(announced, 0, kMaxFilterRows);
    for (int row = 0; row < rows; ++row) {
        takeFilterRow(row);
        fillFilterRow(row, object.value(rowKey(kKeyFrameType, row)).toInt(),
                      object.value(rowKey(kKeyFilterType, row)).toInt(), object.value(rowKey(kKeyId1, row)).toString(),
                      object.value(rowKey(kKeyId2, row)).toString());
    }
    ui->tableWidget->setRowCount(rows);
    if (announced > kMaxFilterRows)
        showFilterLimitBox();
}
