#include "BoxRecorder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

BoxRecorder::BoxRecorder(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
    setDifferencesObserver([this](const DifferencesRecord &list) { m_lists << list; });
}

BoxRecorder::~BoxRecorder()
{
    qApp->removeEventFilter(this);
    setDifferencesObserver({});
}

QStringList BoxRecorder::texts() const
{
    QStringList list;
    for (const MessageRecord &r : m_boxes)
        list << r.text;
    return list;
}

bool BoxRecorder::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        if (auto *box = qobject_cast<QMessageBox *>(watched)) {
            MessageRecord record{box->icon(), box->windowTitle(), box->text(), {}};
            for (QAbstractButton *b : box->buttons())
                record.buttons << b->text();
            m_boxes << record;
            if (m_onBox)
                m_onBox(record);
            // Press a button once the box's own modal loop runs.
            QPointer<QMessageBox> guard(box);
            QTimer::singleShot(0, box, [guard] {
                if (!guard)
                    return;
                const QList<QAbstractButton *> buttons = guard->buttons();
                if (buttons.isEmpty())
                    guard->reject();
                else
                    buttons.first()->click();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}
