#include "app/MessageBox.h"

#include <QAbstractButton>
#include <QPushButton>

namespace {
MessageObserver &observer()
{
    static MessageObserver instance;
    return instance;
}
} // namespace

void setMessageObserver(MessageObserver o)
{
    observer() = std::move(o);
}

void showMessageBox(QMessageBox::Icon icon, QWidget *parent, const QString &title, const QString &text,
                    const MessageButtons &buttons)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    if (buttons.customLabel.isEmpty())
        box.setStandardButtons(buttons.standard);
    else
        box.addButton(buttons.customLabel, QMessageBox::AcceptRole);

    if (observer()) {
        MessageRecord record{icon, title, text, {}};
        for (QAbstractButton *b : box.buttons())
            record.buttons << b->text();
        observer()(record);
        return;
    }
    box.exec();
}
