#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

// Every message the tool shows goes through showMessageBox, so that all
// boxes share one form and tests, fuzzers and benchmarks can observe them.

// The buttons of a box: standard buttons, or one button with a label of
// its own (the mapping validation's "请修改后重试").
struct MessageButtons
{
    MessageButtons(QMessageBox::StandardButtons standard = QMessageBox::Ok) : standard(standard) {}
    MessageButtons(QMessageBox::StandardButton standard) : standard(standard) {}
    MessageButtons(const QString &customLabel) : customLabel(customLabel) {}
    MessageButtons(const char *) = delete; // labels are user texts: pass tr() strings

    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    QString customLabel;
};

// What a shown box said, as a user saw it.
struct MessageRecord
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QStringList buttons; // button texts, in the box's order
};

// Shows a modal box and returns when it is closed.
void showMessageBox(QMessageBox::Icon icon, QWidget *parent, const QString &title, const QString &text,
                    const MessageButtons &buttons = QMessageBox::Ok);

// When set, boxes are not shown: each is handed to the observer and
// counts as answered at once. Pass an empty function to show boxes again.
using MessageObserver = std::function<void(const MessageRecord &)>;
void setMessageObserver(MessageObserver observer);
