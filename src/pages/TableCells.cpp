#include "pages/TableCells.h"

#include "pages/CellWidgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableWidget>

#include <algorithm>

bool showsText(const QLineEdit *edit, const QString &text)
{
    return edit && edit->text() == text && !edit->isModified() && !edit->isUndoAvailable() &&
           !edit->isRedoAvailable() && !edit->hasSelectedText() && edit->cursorPosition() == text.size();
}

bool hasCheckItem(const QTableWidget *table, int row, int column, Qt::ItemFlags flags, Qt::CheckState state)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item && item->flags() == flags && item->checkState() == state;
}

void setEntryEnabled(QComboBox *combo, int index, bool enabled)
{
    auto *model = qobject_cast<QStandardItemModel *>(combo->model());
    QStandardItem *item = model ? model->item(index) : nullptr;
    if (item && item->isEnabled() != enabled)
        item->setEnabled(enabled);
}

void changeStyleSheet(QWidget *widget, const QString &sheet)
{
    if (widget && widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

Qt::CheckState checkStateFromNumber(int value)
{
    if (value <= Qt::Unchecked)
        return Qt::Unchecked;
    return value == Qt::PartiallyChecked ? Qt::PartiallyChecked : Qt::Checked;
}

QString withoutSpaces(QString text)
{
    return text.remove(QLatin1Char(' '));
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

void placeCellWidget(QTableWidget *table, int row, int column, QWidget *widget)
{
    widget->resize(table->columnWidth(column), table->rowHeight(row));
    CellWidgets::place(table, row, column, widget);
}
