#pragma once

#include <QString>
#include <Qt>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QWidget;

// Small helpers shared by the pages' tables and fields. Most are questions a
// refill asks of a reused table row before touching it: every connect reads
// the device's tables again, and mostly they hold what the rows already
// show. A row that already is what refilling it would make of it is left
// alone, which spares resetting and refilling each cell.

// The editor holds exactly `text` as a program set it: nothing typed since,
// nothing to undo or redo, nothing selected, the cursor at the end.
bool showsText(const QLineEdit *edit, const QString &text);

// The cell holds a check item with these flags and this check state.
bool hasCheckItem(const QTableWidget *table, int row, int column, Qt::ItemFlags flags, Qt::CheckState state);

// Sets whether an entry of a list (in a table cell or anywhere on a page) is
// selectable; an entry already so is left untouched (each change notifies
// the list's views).
void setEntryEnabled(QComboBox *combo, int index, bool enabled);

// Setting a style sheet re-polishes the widget even when the sheet is the
// same, and a validation run touches every cell: only a change is set.
void changeStyleSheet(QWidget *widget, const QString &sheet);

// A check state as files store it: 0 or less unchecked, 1 partly checked,
// anything above checked.
Qt::CheckState checkStateFromNumber(int value);

// The text with its blanks (U+0020 only) removed, as number fields read it.
QString withoutSpaces(QString text);

// Puts `widget` into a cell. Sized to the cell first: a widget shown with no
// size of its own is first sized to its hint, which for a list means
// measuring every entry's text, only for the view to set its geometry anyway.
void placeCellWidget(QTableWidget *table, int row, int column, QWidget *widget);

// Removes every row that has a selected cell; nothing selected, nothing removed.
void deleteSelectedRows(QTableWidget *table);
