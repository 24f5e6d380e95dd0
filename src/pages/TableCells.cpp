#include "pages/TableCells.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableWidget>

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
