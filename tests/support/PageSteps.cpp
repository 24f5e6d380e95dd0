#include "PageSteps.h"

#include "TableState.h"
#include "app/MessageBox.h"

#include <QJsonDocument>
#include <QTest>
#include <QtWidgets>

namespace {

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
        values << (name.endsWith(".selectable")     ? selectableEntries(qobject_cast<QComboBox *>(w))
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
