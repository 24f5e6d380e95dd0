#include "pages/TableColumns.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

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

void fitLabelsToText(QWidget *form)
{
    for (QLabel *label : form->findChildren<QLabel *>()) {
        const int needed = label->sizeHint().width();
        if (label->maximumWidth() < needed) {
            label->setMinimumWidth(std::max(label->minimumWidth(), needed));
            label->setMaximumWidth(needed);
        }
    }
}
