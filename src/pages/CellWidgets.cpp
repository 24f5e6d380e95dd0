#include "pages/CellWidgets.h"

#include <QAbstractItemModel>
#include <QTableWidget>

QHash<const QTableWidget *, CellWidgets *> CellWidgets::s_indexes;

CellWidgets::CellWidgets(QTableWidget *table) : QObject(table), m_table(table)
{
    s_indexes.insert(table, this);
    const auto forget = [this] { m_cells.clear(); };
    const QAbstractItemModel *model = table->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, forget);
    connect(model, &QAbstractItemModel::rowsRemoved, this, forget);
    connect(model, &QAbstractItemModel::rowsMoved, this, forget);
    connect(model, &QAbstractItemModel::columnsInserted, this, forget);
    connect(model, &QAbstractItemModel::columnsRemoved, this, forget);
    connect(model, &QAbstractItemModel::columnsMoved, this, forget);
    connect(model, &QAbstractItemModel::modelReset, this, forget);
    connect(model, &QAbstractItemModel::layoutChanged, this, forget);
}

CellWidgets::~CellWidgets()
{
    s_indexes.remove(m_table);
}

CellWidgets *CellWidgets::of(QTableWidget *table)
{
    CellWidgets *index = s_indexes.value(table);
    return index ? index : new CellWidgets(table);
}

void CellWidgets::remember(int row, int column, QWidget *widget)
{
    if (row < 0 || column < 0)
        return;
    if (m_cells.size() <= row)
        m_cells.resize(row + 1);
    QVector<QPointer<QWidget>> &cells = m_cells[row];
    if (cells.size() <= column)
        cells.resize(column + 1);
    cells[column] = widget;
}

QWidget *CellWidgets::at(const QTableWidget *table, int row, int column)
{
    CellWidgets *index = s_indexes.value(table);
    if (index && row >= 0 && row < index->m_cells.size() && column >= 0 && column < index->m_cells.at(row).size()) {
        if (QWidget *widget = index->m_cells.at(row).at(column))
            return widget;
    }
    QWidget *widget = table->cellWidget(row, column);
    if (index && widget)
        index->remember(row, column, widget);
    return widget;
}

void CellWidgets::place(QTableWidget *table, int row, int column, QWidget *widget)
{
    table->setCellWidget(row, column, widget);
    of(table)->remember(row, column, widget);
}
