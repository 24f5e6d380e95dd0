#pragma once

#include "pages/DifferenceLabels.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QTableWidget;

// Lists the fields where two configurations differ, one row a field: page,
// field, the other side's value, the window's value. It only shows: it never
// changes a page nor talks to the device.
class DifferencesDialog : public QDialog
{
    Q_OBJECT

public:
    DifferencesDialog(const QString &title, const QString &otherHeader, const QVector<DifferenceRow> &rows,
                      QWidget *parent = nullptr);

    // The table as a user reads it: the headers, then one "page|field|value|value" line a row.
    QStringList shownText() const;

private:
    QTableWidget *m_table = nullptr;
};

// What a shown list said.
struct DifferencesRecord
{
    QString title;
    QStringList lines; // DifferencesDialog::shownText()
};

// Shows the list modally and returns when it is closed. Like showMessageBox,
// when an observer is set the list goes to it instead and counts as closed.
void showDifferences(QWidget *parent, const QString &title, const QString &otherHeader,
                     const QVector<DifferenceRow> &rows);
using DifferencesObserver = std::function<void(const DifferencesRecord &)>;
void setDifferencesObserver(DifferencesObserver observer);
