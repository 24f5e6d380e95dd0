#pragma once

#include <Qt>

class QComboBox;
class QLineEdit;
class QString;
class QTableWidget;

// Questions a refill asks of a reused table row before touching it: every
// connect reads the device's tables again, and mostly they hold what the
// rows already show. A row that already is what refilling it would make of
// it is left alone, which spares resetting and refilling each cell.

// The editor holds exactly `text` as a program set it: nothing typed since,
// nothing to undo or redo, nothing selected, the cursor at the end.
bool showsText(const QLineEdit *edit, const QString &text);

// The cell holds a check item with these flags and this check state.
bool hasCheckItem(const QTableWidget *table, int row, int column, Qt::ItemFlags flags, Qt::CheckState state);

// Sets whether an entry of a list (in a table cell or anywhere on a page) is
// selectable; an entry already so is left untouched (each change notifies
// the list's views).
void setEntryEnabled(QComboBox *combo, int index, bool enabled);
