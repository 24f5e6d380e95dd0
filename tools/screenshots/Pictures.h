#pragma once

#include <QObject>
#include <QPixmap>
#include <QString>

class QWidget;

// The picture-taking helpers shared by every shot.

// Writes `picture` to `path`; says so on stderr when it cannot.
bool save(const QPixmap &picture, const QString &path);
// Lets the window lay itself out and paint.
void settle();
// Keeps the event loop turning for `ms`, for what paints on a timer.
void wait(int ms);
// The window with `dialog` centred over it. A virtual display has no window
// manager, so the dialog's title bar is drawn here.
QPixmap withDialog(QWidget *window, QWidget *dialog);

// Waits for the tool to show the dialog named `objectName` (however it
// shows it: exec(), open() or show()), takes it over the window, then
// closes it as its close button would, so that whatever the tool does next
// goes on as after a user's click.
class DialogShot : public QObject
{
public:
    DialogShot(QWidget *window, const QString &objectName);
    ~DialogShot() override;

    bool taken() const { return !m_picture.isNull(); }
    QPixmap picture() const { return m_picture; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QString m_objectName;
    bool m_seen = false;
    QPixmap m_picture;
};
