#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QWidget>

namespace Ui {
class SerialParamWidgetClass;
}

// The "串口参数" page: serial mode and the parameters of the device's RS232
// and RS485/RS422 ports. Fills and decodes offsets 3..14 and 59..76 of the
// main-parameter frames; never touches the port.
class SerialParamWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SerialParamWidget(QByteArray *replyBuffer, QWidget *parent = nullptr);
    ~SerialParamWidget() override;

    void writeBlock(QByteArray &frame) const;
    void readBlock();
    QJsonObject toJson() const;
    void fromJson(const QJsonObject &object);

public slots:
    void on_ComboxChangeCurrent(const QString &modeText);

private:
    Ui::SerialParamWidgetClass *ui;
    QByteArray *replyBuffer;
};
