#include "common/MessageBox.h"

#include <QAbstractButton>
#include <QHash>
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

namespace {

void addButtons(QMessageBox &box, const MessageButtons &buttons)
{
    if (buttons.customLabel.isEmpty())
        box.setStandardButtons(buttons.standard);
    else
        box.addButton(buttons.customLabel, QMessageBox::AcceptRole);
}

// The texts a box shows on its buttons. Building a box only to read them
// costs more than anything else an observed exchange does, and a set of
// standard buttons always reads the same: each set is read from a box once.
QStringList buttonTexts(const MessageButtons &buttons)
{
    if (!buttons.customLabel.isEmpty())
        return {buttons.customLabel};
    static QHash<int, QStringList> known;
    const int key = int(buttons.standard);
    auto it = known.constFind(key);
    if (it == known.constEnd()) {
        QMessageBox box;
        addButtons(box, buttons);
        QStringList texts;
        for (QAbstractButton *b : box.buttons())
            texts << b->text();
        it = known.insert(key, texts);
    }
    return *it;
}

} // namespace

void showMessageBox(QMessageBox::Icon icon, QWidget *parent, const QString &title, const QString &text,
                    const MessageButtons &buttons)
{
    if (observer()) {
        observer()(MessageRecord{icon, title, text, buttonTexts(buttons)});
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    addButtons(box, buttons);
    box.exec();
}
