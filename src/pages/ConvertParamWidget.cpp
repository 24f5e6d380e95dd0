#include "pages/ConvertParamWidget.h"

#include "ui_ConvertParamWidget.h"

ConvertParamWidget::ConvertParamWidget(QByteArray *replyBuffer, QWidget *parent)
    : QWidget(parent), ui(new Ui::ConvertParamWidgetClass), replyBuffer(replyBuffer)
{
    ui->setupUi(this);
}

ConvertParamWidget::~ConvertParamWidget() { delete ui; }

void ConvertParamWidget::writeBlock(QByteArray &) const {}
void ConvertParamWidget::readBlock() {}
QJsonObject ConvertParamWidget::toJson() const { return {}; }
void ConvertParamWidget::fromJson(const QJsonObject &) {}
int ConvertParamWidget::convertModeIndex() const { return 0; }
void ConvertParamWidget::setOffsetMaximum(int) {}
void ConvertParamWidget::setIdLengthMaximum(int) {}
void ConvertParamWidget::setDeviceType(int) {}
void ConvertParamWidget::comboBoxConvertModelIndexChanged(int) {}
