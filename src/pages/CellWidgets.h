#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVector>

class QTableWidget;
class QWidget;

// The widgets in a table's cells, by position. QTableWidget::cellWidget
// finds a cell's widget through a persistent index and a hash, and a
// connect asks for the filter and mapping cells a thousand times over
// (every read checks each row against the device's record). A row or
// column inserted, removed or moved, or the model reset, forgets them
// all; a widget deleted since is asked of the table again.
class CellWidgets : public QObject
{
public:
    // The widget in the cell, as QTableWidget::cellWidget gives it.
    static QWidget *at(const QTableWidget *table, int row, int column);
    // Puts `widget` into the cell, as QTableWidget::setCellWidget does.
    static void place(QTableWidget *table, int row, int column, QWidget *widget);

    ~CellWidgets() override;

private:
    explicit CellWidgets(QTableWidget *table);
    static CellWidgets *of(QTableWidget *table);
    void remember(int row, int column, QWidget *widget);

    const QTableWidget *m_table;
    QVector<QVector<QPointer<QWidget>>> m_cells; // [row][column]
    static QHash<const QTableWidget *, CellWidgets *> s_indexes;
};
