#pragma once

#include "protocol/SerialBlock.h"

#include <QByteArray>
#include <QJsonObject>
#include <QWidget>

#include <optional>

class QComboBox;

namespace Ui {
class SerialParamWidgetClass;
}

// The "串口参数" page: serial mode and the parameters of the device's RS232
// and RS485/RS422 ports: the serial block of the main-parameter frames.
// Shows and validates values; never touches the port and never places a
// byte itself (the block does).
class SerialParamWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SerialParamWidget(QByteArray *replyBuffer, QWidget *parent = nullptr);
    ~SerialParamWidget() override;

    // What the page shows, as the device takes it; none while no mode is
    // chosen.
    std::optional<Protocol::SerialBlock> block() const;
    void writeBlock(QByteArray &frame) const;
    void readBlock();
    QJsonObject toJson() const;
    void fromJson(const QJsonObject &object);

public slots:
    void on_ComboxChangeCurrent(const QString &modeText);

private:
    // The four lists of one parameter group.
    struct ParamGroup
    {
        QComboBox *baudRate;
        QComboBox *dataBits;
        QComboBox *stopBits;
        QComboBox *parity;
    };

    ParamGroup firstGroup() const;
    ParamGroup secondGroup() const;
    void fillLists();
    static Protocol::SerialPortSlot slotOf(const ParamGroup &group);
    static void showSlot(const Protocol::SerialPortSlot &slot, const ParamGroup &group);
    static void groupToJson(QJsonObject &object, const ParamGroup &group, const QString &suffix);
    static void groupFromJson(const QJsonObject &object, const ParamGroup &group, const QString &suffix);

    Ui::SerialParamWidgetClass *ui;
    QByteArray *replyBuffer;
};
