#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QWidget>

class QComboBox;

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
    static void writeSlot(QByteArray &frame, int slotOffset, const ParamGroup &group);
    static void readSlot(const QByteArray &reply, int slotOffset, const ParamGroup &group);
    static void groupToJson(QJsonObject &object, const ParamGroup &group, const QString &suffix);
    static void groupFromJson(const QJsonObject &object, const ParamGroup &group, const QString &suffix);

    Ui::SerialParamWidgetClass *ui;
    QByteArray *replyBuffer;
};
