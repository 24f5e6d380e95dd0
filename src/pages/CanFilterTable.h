#pragma once

#include "pages/CanIdEdit.h"
#include "protocol/FilterTable.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

class CanParamWidget;
class QComboBox;
class QJsonObject;
class QTableWidget;

// The acceptance filter rows of the CAN page: frame type, filter type and
// both identifiers of each filter. Makes, resets, refills and removes rows,
// keeps to the 28 records the frame has room for, and turns rows into
// records and file keys and back. The rules that act on the selected row
// stay with the page. Never builds frames.
class CanFilterTable
{
    Q_DECLARE_TR_FUNCTIONS(CanParamWidget)

public:
    enum Column
    {
        EnabledColumn,
        FrameTypeColumn,
        FilterTypeColumn,
        Id1Column,
        Id2Column
    };
    static constexpr int kMaxRows = Protocol::FilterTable::kMaxRecords;

    CanFilterTable(CanParamWidget *page, QTableWidget *table, CanIdEdit::Report report);

    // From the menu: refused with a notice when full.
    void addRow();
    void deleteSelectedRows();
    void clear();
    void showLimitBox();

    QVector<Protocol::FilterRecord> records() const;
    // Refills the rows from a reply's records.
    void read(const QVector<Protocol::FilterRecord> &records);
    // A row as the file stores it: the lists' positions and the identifiers.
    struct FileRow
    {
        int frameType;
        int filterType;
        QString id1;
        QString id2;
        bool operator==(const FileRow &other) const
        {
            return frameType == other.frameType && filterType == other.filterType && id1 == other.id1 &&
                   id2 == other.id2;
        }
    };
    QVector<FileRow> fileRows() const;
    static void toJson(const QVector<FileRow> &rows, QJsonObject &object);
    void fromJson(const QJsonObject &object);

private:
    void appendRow();
    void takeRow(int row);
    void resetRow(int row);
    void fillRow(int row, int frameType, int filterType, const QString &id1, const QString &id2);
    bool shows(int row, const Protocol::FilterRecord &record) const;
    Protocol::FilterRecord recordOf(int row) const;
    QComboBox *comboAt(int row, int column) const;
    CanIdEdit *idAt(int row, int column) const;

    CanParamWidget *m_page;
    QTableWidget *m_table;
    CanIdEdit::Report m_report;
};
