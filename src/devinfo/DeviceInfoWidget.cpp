#include "devinfo/DeviceInfoWidget.h"

#include "ui_DeviceInfoWidget.h"

DeviceInfoWidget::DeviceInfoWidget(QWidget *parent) : QWidget(parent), ui(new Ui::DeviceInfoWidgetClass)
{
    ui->setupUi(this);
}

DeviceInfoWidget::~DeviceInfoWidget() { delete ui; }

void DeviceInfoWidget::setDeviceInfo(const QString &, const QString &, const QString &, const QString &) {}
void DeviceInfoWidget::paintEvent(QPaintEvent *event) { QWidget::paintEvent(event); }
