#include "pages/SerialParamWidget.h"

#include "ui_SerialParamWidget.h"

SerialParamWidget::SerialParamWidget(QByteArray *replyBuffer, QWidget *parent)
    : QWidget(parent), ui(new Ui::SerialParamWidgetClass), replyBuffer(replyBuffer)
{
    ui->setupUi(this);
}

SerialParamWidget::~SerialParamWidget() { delete ui; }

void SerialParamWidget::writeBlock(QByteArray &) const {}
void SerialParamWidget::readBlock() {}
QJsonObject SerialParamWidget::toJson() const { return {}; }
void SerialParamWidget::fromJson(const QJsonObject &) {}
void SerialParamWidget::on_ComboxChangeCurrent(const QString &) {}
