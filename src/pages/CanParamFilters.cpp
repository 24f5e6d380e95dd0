// The acceptance-filter half of CanParamWidget: the filter check box, the
// context menu of the filter table, the range rule on the selected row and
// the 0x04 / 0x05 filter frames. The rows themselves are CanFilterTable's.
#include "pages/CanParamWidget.h"

#include "common/MessageBox.h"
#include "pages/CanFilterTable.h"
#include "protocol/ByteFields.h"

#include "ui_CanParamWidget.h"

#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>

namespace {

constexpr int kRangeFilter = 1;

} // namespace

void CanParamWidget::setupFilters()
{
    m_filters = std::make_unique<CanFilterTable>(this, ui->tableWidget, &CanParamWidget::showIdRangeBox);

    m_filterMenu = new QMenu(this);
    m_filterMenu->addAction(ui->m_actionFilterDelete);
    m_filterMenu->addAction(ui->m_actionFilterAdd);

    connect(ui->checkBox, &QCheckBox::toggled, this, &CanParamWidget::oncheckBox);
    connect(ui->tableWidget, &QWidget::customContextMenuRequested, this,
            &CanParamWidget::onCanSendMappingCustomContextMenuRequested);
    connect(ui->m_actionFilterDelete, &QAction::triggered, this, &CanParamWidget::onActionSendMappingDelete);
    connect(ui->m_actionFilterAdd, &QAction::triggered, this, &CanParamWidget::onActionSendMappingAdd);
}

void CanParamWidget::oncheckBox(bool checked) { ui->tableWidget->setEnabled(checked); }

void CanParamWidget::onCanSendMappingCustomContextMenuRequested(const QPoint &)
{
    m_filterMenu->exec(QCursor::pos());
}

void CanParamWidget::onActionSendMappingAdd()
{
    m_filters->addRow();
}

void CanParamWidget::onActionSendMappingDelete()
{
    m_filters->deleteSelectedRows();
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
            if (table->cellWidget(cell.row(), CanFilterTable::FilterTypeColumn) == changed)
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
    auto *id1 = qobject_cast<QLineEdit *>(table->cellWidget(row, CanFilterTable::Id1Column));
    auto *id2 = qobject_cast<QLineEdit *>(table->cellWidget(row, CanFilterTable::Id2Column));
    if (static_cast<qint32>(hexTextToWord(id2->text())) > static_cast<qint32>(hexTextToWord(id1->text())))
        return;
    showMessageBox(QMessageBox::Information, this, tr("提示"), tr("ID 2 小于或等于 小于ID 1"));
    qobject_cast<QComboBox *>(table->cellWidget(row, CanFilterTable::FilterTypeColumn))->setCurrentIndex(0);
    id2->clear();
}

// ---- frames ----

void CanParamWidget::writeFilterBlock(QByteArray &frame) const
{
    const Protocol::FilterTable filters{ui->checkBox->checkState() != Qt::Unchecked, m_filters->records()};
    filters.encode(frame);
}

void CanParamWidget::readFilterBlock()
{
    if (!replyBuffer)
        return;
    const Protocol::FilterTable filters = Protocol::FilterTable::decode(*replyBuffer);
    // Nothing stays selected, as when the rows were removed: the filter
    // type rule acts on the selected row.
    ui->tableWidget->selectionModel()->clear();
    ui->checkBox->setChecked(filters.enabled);
    // Records end where the reply's payload ends, whatever it announces;
    // the surplus is dropped with one notice, not one box per row.
    m_filters->read(filters.records);
    if (Protocol::FilterTable::announcedCount(*replyBuffer) > CanFilterTable::kMaxRows)
        m_filters->showLimitBox();
}
