#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

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

    // Runs the whole update for a file already chosen.
    void startUpdate(const QString &filePath);
    void sendUpdatePhase(int phase);
    void handleUpdateReply(const QByteArray &frame);

signals:
    void Updasend(const QByteArray &packet);

public slots:
    void on_pushupdate();

private:
    Ui::UpadteWidgetClass *ui;
    QString m_filePath;
    quint16 m_imageCrc = 0xFFFF;
};
