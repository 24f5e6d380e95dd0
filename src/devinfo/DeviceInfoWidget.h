#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QVBoxLayout;

namespace Ui {
class DeviceInfoWidgetClass;
}

// The "设备信息" page: the connected device's identity beside the tool's own
// version and the maker's logo. No inputs; never touches the port.
class DeviceInfoWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DeviceInfoWidget(QWidget *parent = nullptr);
    ~DeviceInfoWidget() override;

    void setDeviceInfo(const QString &deviceType, const QString &hardwareVersion,
                       const QString &firmwareVersion, const QString &productNumber);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void arrangeLayouts();
    QVBoxLayout *deviceColumn();
    QVBoxLayout *makerColumn();
    void fillMakerTexts();
    void updateLogo();

    Ui::DeviceInfoWidgetClass *ui;
};
