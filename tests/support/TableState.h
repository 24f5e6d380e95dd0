#pragma once

#include <QStringList>

class QComboBox;
class QTableWidget;

// Everything a row's cells hold that a user or the next step can tell
// apart, one line per cell: check items (flags, state), lists (entries,
// which are selectable, the shown one), editors (text, validator, typed or
// undoable changes, cursor), highlights and row heights. Two tables with the
// same state look and behave the same.
QStringList tableState(const QTableWidget *table);

// Which entries of a list can be chosen, as 0/1: those at `indexes`, or all.
QString selectableEntries(const QComboBox *list, const QList<int> &indexes = {});
