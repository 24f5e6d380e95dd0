#include "pages/TableColumns.h"

#include <QComboBox>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>

namespace {

void widen(QTableWidget *table, int column, int width)
{
    if (table->columnWidth(column) < width)
        table->setColumnWidth(column, width);
}

} // namespace

void fitColumnToHeader(QTableWidget *table, int column)
{
    const QTableWidgetItem *item = table->horizontalHeaderItem(column);
    if (!item)
        return;
    const QHeaderView *header = table->horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    widen(table, column, header->fontMetrics().horizontalAdvance(item->text()) + 2 * margin + 4);
}

void fitColumnToComboBox(QTableWidget *table, int column, const QStringList &entries)
{
    QComboBox sample;
    sample.setFont(table->font());
    sample.addItems(entries);
    widen(table, column, sample.sizeHint().width());
}
