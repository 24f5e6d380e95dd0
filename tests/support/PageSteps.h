#pragma once

#include <QJsonObject>
#include <QMap>
#include <QStringList>

#include <functional>

class QTableWidget;
class QWidget;

// Drives a page through a line of steps, the way the central widget and a
// user reach it, and writes down what could be seen on the way: each box as
// it is shown ("icon title|text|buttons") and each state asked for. Steps
// are "verb argument" and stand ';' apart; the log's entries stand "; " apart.
//   set NAMES VALUES  the children's user values (list position, text,
//                     check, number), or NAME.property; one name takes the
//                     whole rest, several take a word each
//   pick NAME N       arrow keys on a list until entry N shows
//   keys NAME SEQ     a key sequence ("Ctrl+V"); type NAME TEXT: typed text
//   retype NAME TEXT  TEXT typed over a field's text, or the text over itself
//   ? NAMES           their values, space apart, yes/no as 1/0;
//                     NAME.selectable: which entries of a list can be chosen
// A name may be an alias of several names. A page adds its own verbs, and
// names its children do not have (table cells, say) through `find`.
class PageSteps
{
public:
    explicit PageSteps(QWidget *page);
    ~PageSteps();

    QString run(const QString &steps);
    QString state(const QString &names);
    QWidget *widget(const QString &name);

    QStringList log;
    QMap<QString, QString> aliases;
    QMap<QString, std::function<void(const QString &argument)>> verbs;
    std::function<QWidget *(const QString &name)> find;

private:
    QStringList expand(const QString &names) const;
    QWidget *m_page;
};

QJsonObject jsonObject(const QString &text);

// A table of step lines: the columns "steps" and "log", and one row.
void stepColumns();
void stepRow(const char *name, const QString &steps, const QString &log);

// Everything a row's cells hold that a user or the next step can tell
// apart, one line per cell: check items (flags, state), lists (entries,
// which are selectable, the shown one), editors (text, validator, typed or
// undoable changes, cursor), highlights and row heights. Two tables with the
// same state look and behave the same.
QStringList tableState(const QTableWidget *table);
