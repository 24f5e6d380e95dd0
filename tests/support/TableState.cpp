#include "TableState.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStandardItemModel>
#include <QTableWidget>

namespace {

QString listState(const QComboBox *list)
{
    QStringList entries;
    const auto *model = qobject_cast<const QStandardItemModel *>(list->model());
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i) + (model && !model->item(i)->isEnabled() ? "(off)" : "");
    return QStringLiteral("list %1 of [%2]").arg(list->currentIndex()).arg(entries.join(','));
}

QString editState(const QLineEdit *edit)
{
    QString validator = QStringLiteral("none");
    if (const auto *pattern = qobject_cast<const QRegularExpressionValidator *>(edit->validator()))
        validator = pattern->regularExpression().pattern();
    else if (const auto *range = qobject_cast<const QIntValidator *>(edit->validator()))
        validator = QStringLiteral("%1..%2").arg(range->bottom()).arg(range->top());
    return QStringLiteral("edit '%1' %2 modified %3 undo %4 redo %5 cursor %6 selected '%7'")
        .arg(edit->text(), validator)
        .arg(edit->isModified())
        .arg(edit->isUndoAvailable())
        .arg(edit->isRedoAvailable())
        .arg(edit->cursorPosition())
        .arg(edit->selectedText());
}

} // namespace

QStringList tableState(const QTableWidget *table)
{
    QStringList lines;
    for (int row = 0; row < table->rowCount(); ++row) {
        lines << QStringLiteral("row %1 height %2").arg(row).arg(table->rowHeight(row));
        for (int column = 0; column < table->columnCount(); ++column) {
            QString cell = QStringLiteral("  %1:%2 ").arg(row).arg(column);
            if (const QTableWidgetItem *item = table->item(row, column))
                cell += QStringLiteral("item flags %1 check %2 ").arg(int(item->flags())).arg(item->checkState());
            const QWidget *widget = table->cellWidget(row, column);
            if (const auto *list = qobject_cast<const QComboBox *>(widget))
                cell += listState(list);
            else if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
                cell += editState(edit);
            if (widget && !widget->styleSheet().isEmpty())
                cell += QStringLiteral(" sheet '%1'").arg(widget->styleSheet());
            lines << cell;
        }
    }
    return lines;
}

QString selectableEntries(const QComboBox *list, const QList<int> &indexes)
{
    const auto *model = qobject_cast<const QStandardItemModel *>(list->model());
    QString mask;
    for (int i = 0; i < (indexes.isEmpty() ? list->count() : indexes.size()); ++i)
        mask += model->item(indexes.isEmpty() ? i : indexes.at(i))->isEnabled() ? '1' : '0';
    return mask;
}
