#include "PageSteps.h"

#include "common/MessageBox.h"

#include <QJsonDocument>
#include <QTest>
#include <QtWidgets>

namespace {

QString listState(const QComboBox *list)
{
    QStringList entries;
    const auto *model = qobject_cast<const QStandardItemModel *>(list->model());
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i) + (model && !model->item(i)->isEnabled() ? "(off)" : "");
    return QStringLiteral("list %1 of [%2]").arg(list->currentIndex()).arg(entries.join(','));
}

QString editState(const QLineEdit *edit)
{
    QString validator = QStringLiteral("none");
    if (const auto *pattern = qobject_cast<const QRegularExpressionValidator *>(edit->validator()))
        validator = pattern->regularExpression().pattern();
    else if (const auto *range = qobject_cast<const QIntValidator *>(edit->validator()))
        validator = QStringLiteral("%1..%2").arg(range->bottom()).arg(range->top());
    return QStringLiteral("edit '%1' %2 modified %3 undo %4 redo %5 cursor %6 selected '%7'")
        .arg(edit->text(), validator)
        .arg(edit->isModified())
        .arg(edit->isUndoAvailable())
        .arg(edit->isRedoAvailable())
        .arg(edit->cursorPosition())
        .arg(edit->selectedText());
}

// Which entries of a list can be chosen, as 0/1.
QString selectable(const QComboBox *list)
{
    QString mask;
    for (int i = 0; i < list->count(); ++i)
        mask += qobject_cast<const QStandardItemModel *>(list->model())->item(i)->isEnabled() ? '1' : '0';
    return mask;
}

// The property a user sees and changes on a widget of this kind, unless the name gives one.
QByteArray property(const QWidget *w, const QString &name)
{
    if (name.contains('.'))
        return name.section('.', 1).toLatin1();
    if (qobject_cast<const QComboBox *>(w))
        return "currentIndex";
    return qobject_cast<const QTextEdit *>(w) ? "plainText" : w->metaObject()->userProperty().name();
}

} // namespace

QStringList tableState(const QTableWidget *table)
{
    QStringList lines;
    for (int row = 0; row < table->rowCount(); ++row) {
        lines << QStringLiteral("row %1 height %2").arg(row).arg(table->rowHeight(row));
        for (int column = 0; column < table->columnCount(); ++column) {
            QString cell = QStringLiteral("  %1:%2 ").arg(row).arg(column);
            if (const QTableWidgetItem *item = table->item(row, column))
                cell +=
                    QStringLiteral("item flags %1 check %2 ").arg(int(item->flags())).arg(item->checkState());
            const QWidget *widget = table->cellWidget(row, column);
            if (const auto *list = qobject_cast<const QComboBox *>(widget))
                cell += listState(list);
            else if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
                cell += editState(edit);
            if (widget && !widget->styleSheet().isEmpty())
                cell += QStringLiteral(" sheet '%1'").arg(widget->styleSheet());
            lines << cell;
        }
    }
    return lines;
}

PageSteps::PageSteps(QWidget *page) : m_page(page)
{
    setMessageObserver([this](const MessageRecord &b) {
        log << QString("%1 %2|%3|%4").arg(int(b.icon)).arg(b.title, b.text, b.buttons.join(','));
    });
}

PageSteps::~PageSteps()
{
    setMessageObserver({});
}

QWidget *PageSteps::widget(const QString &name)
{
    QWidget *w = find ? find(name.section('.', 0, 0)) : nullptr;
    if (!w && !(w = m_page->findChild<QWidget *>(name.section('.', 0, 0))))
        qFatal("no widget %s", qPrintable(name));
    return w;
}

QStringList PageSteps::expand(const QString &names) const
{
    QStringList all;
    for (const QString &name : names.split(' ', Qt::SkipEmptyParts))
        all << aliases.value(name, name).split(' ');
    return all;
}

QString PageSteps::state(const QString &names)
{
    QStringList values;
    for (const QString &name : expand(names)) {
        QWidget *w = widget(name);
        const QVariant value = w->property(property(w, name));
        values << (name.endsWith(".selectable")     ? selectable(qobject_cast<QComboBox *>(w))
                   : value.type() == QVariant::Bool ? QString::number(value.toBool())
                                                    : value.toString());
    }
    return values.join(' ');
}

QString PageSteps::run(const QString &steps)
{
    for (const QString &step : steps.split(';', Qt::SkipEmptyParts)) {
        const QString verb = step.trimmed().section(' ', 0, 0), argument = step.trimmed().section(' ', 1);
        const QString name = argument.section(' ', 0, 0), value = argument.section(' ', 1);
        if (verbs.contains(verb)) {
            verbs[verb](argument);
        } else if (verb == "?") {
            log << state(argument);
        } else if (verb == "set") {
            const QStringList names = expand(name),
                              values = names.size() > 1 ? value.split(' ') : QStringList{value};
            for (int i = 0; i < names.size(); ++i) {
                QWidget *w = widget(names.at(i));
                w->setProperty(property(w, names.at(i)), values.at(i));
                if (auto *text = qobject_cast<QTextEdit *>(w))
                    text->moveCursor(QTextCursor::End);
            }
        } else if (verb == "pick") {
            auto *list = qobject_cast<QComboBox *>(widget(name));
            for (int i = 0; i < list->count() && list->currentIndex() != value.toInt(); ++i)
                QTest::keyClick(list, list->currentIndex() < value.toInt() ? Qt::Key_Down : Qt::Key_Up);
        } else if (verb == "retype") {
            auto *edit = qobject_cast<QLineEdit *>(widget(name));
            edit->selectAll();
            QTest::keyClicks(edit, value.isEmpty() ? edit->text() : value);
        } else if (verb == "keys" || verb == "type") {
            verb == "keys" ? QTest::keySequence(widget(name), QKeySequence(value))
                           : QTest::keyClicks(widget(name), value);
        } else {
            qFatal("no step %s", qPrintable(verb));
        }
    }
    return log.join("; ");
}

QJsonObject jsonObject(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

void stepColumns()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("log");
}

void stepRow(const char *name, const QString &steps, const QString &log)
{
    QTest::newRow(name) << steps << log;
}
