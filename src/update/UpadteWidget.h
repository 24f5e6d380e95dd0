#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <functional>

class QTimer;

namespace Ui {
class UpadteWidgetClass;
}

// The "固件更新" page: sends a firmware image in start, data and end
// packets through the central widget (signal Updasend) and shows the
// device's verdict. Never touches the port.
class UpadteWidget : public QWidget
{
    Q_OBJECT

public:
    explicit UpadteWidget(QWidget *parent = nullptr);
    ~UpadteWidget() override;

    // Runs the whole update for a file already chosen. Does nothing while
    // an update runs or the link is busy with another exchange.
    void startUpdate(const QString &filePath);
    // Asked before an update starts: true while the link waits for the
    // reply of another exchange (the packets could not be sent then).
    void setLinkBusy(std::function<bool()> linkBusy) { m_linkBusy = std::move(linkBusy); }
    void sendUpdatePhase(int phase);
    void handleUpdateReply(const QByteArray &frame);

signals:
    void Updasend(const QByteArray &packet);

public slots:
    void on_pushupdate();

private:
    bool loadImage();
    void sendDataPhase();
    bool sendPacket(quint8 phase, const QByteArray &packet);
    void abortUpdate();
    void showProgress(int value);
    void paintProgress();
    bool canStart() const;

    Ui::UpadteWidgetClass *ui;
    QString m_filePath;
    quint16 m_imageCrc = 0xFFFF;
    QByteArray m_image;        // the file as read once at the start of an update
    bool m_running = false;    // an update is under way (its sends run nested event loops)
    bool m_stopped = false;    // the device fell silent: nothing more goes out
    quint8 m_awaitedPhase = 0; // phase of the packet being sent, 0 between packets
    bool m_acknowledged = false;
    QTimer *m_barPaintTimer = nullptr; // paints the bar's latest value when its next paint is due
    QElapsedTimer m_barPainted;        // since the bar last painted a new value
    std::function<bool()> m_linkBusy;
};
