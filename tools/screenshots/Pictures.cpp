#include "Pictures.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPainter>
#include <QPointer>
#include <QTextStream>
#include <QTimer>

bool save(const QPixmap &picture, const QString &path)
{
    if (picture.save(path))
        return true;
    QTextStream(stderr) << "cannot write " << path << "\n";
    return false;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    settle();
}

QPixmap withDialog(QWidget *window, QWidget *dialog)
{
    QPixmap picture = window->grab();
    QPainter painter(&picture);
    const QPixmap dialogPicture = dialog->grab();
    const int titleHeight = dialog->fontMetrics().height() + 8;
    const QPoint at((window->width() - dialog->width()) / 2,
                    (window->height() - dialog->height() + titleHeight) / 2);
    const QRect title(at.x(), at.y() - titleHeight, dialog->width(), titleHeight);
    painter.fillRect(
        QRect(title.topLeft(), QSize(dialog->width(), dialog->height() + titleHeight)).adjusted(-1, -1, 1, 1),
        Qt::darkGray);
    painter.fillRect(title, QColor(82, 126, 187));
    painter.setPen(Qt::white);
    painter.drawText(title.adjusted(8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, dialog->windowTitle());
    painter.drawPixmap(at, dialogPicture);
    painter.end();
    return picture;
}

DialogShot::DialogShot(QWidget *window, const QString &objectName)
    : m_window(window), m_objectName(objectName)
{
    qApp->installEventFilter(this);
}

DialogShot::~DialogShot()
{
    qApp->removeEventFilter(this);
}

bool DialogShot::eventFilter(QObject *watched, QEvent *event)
{
    if (m_seen || event->type() != QEvent::Show || watched->objectName() != m_objectName)
        return false;
    auto *dialog = qobject_cast<QDialog *>(watched);
    if (!dialog)
        return false;
    m_seen = true;
    // Once the dialog has laid itself out and painted, from its own loop
    // when it runs one.
    QTimer::singleShot(0, this, [this, shown = QPointer<QDialog>(dialog)] {
        if (!shown)
            return;
        settle();
        m_picture = withDialog(m_window, shown);
        shown->reject();
    });
    return false;
}
