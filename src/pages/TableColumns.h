#pragma once

#include <QStringList>

class QTableWidget;
class QWidget;

// The tables are laid out in pixels for one platform's fonts; elsewhere a
// header or a cell's drop-down list can be wider. These widen a column
// (never narrow it) so that what it shows stays readable.

// Wide enough for the header text.
void fitColumnToHeader(QTableWidget *table, int column);
// Wide enough for a drop-down list holding these entries.
void fitColumnToComboBox(QTableWidget *table, int column, const QStringList &entries);

// The forms give some captions a fixed width, enough for the Chinese
// texts; a longer translation widens such a caption to its text (a caption
// that fits keeps its width).
void fitLabelsToText(QWidget *form);
