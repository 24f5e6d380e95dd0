#include "pages/CanParamWidget.h"

#include "ui_CanParamWidget.h"

CanParamWidget::CanParamWidget(QByteArray *replyBuffer, QWidget *parent)
    : QWidget(parent), ui(new Ui::CanParamWidgetClass), replyBuffer(replyBuffer)
{
    ui->setupUi(this);
}

CanParamWidget::~CanParamWidget() { delete ui; }

bool CanParamWidget::writeBlock(QByteArray &) { return true; }
void CanParamWidget::readBlock() {}
QJsonObject CanParamWidget::toJson() const { return {}; }
void CanParamWidget::fromJson(const QJsonObject &) {}
int CanParamWidget::canMode() const { return 0; }
int CanParamWidget::frameTypeIndex() const { return 0; }
void CanParamWidget::comboBox_6_currentIndexChanged(int) {}
void CanParamWidget::comboBox_7_currentIndexChanged(int) {}
void CanParamWidget::onCurrenttextChange(int) {}
void CanParamWidget::onTextChanged(const QString &) {}
void CanParamWidget::comboBox_2_currentIndexChanged(int) {}
void CanParamWidget::comboBox_4_currentIndexChanged(int) {}
void CanParamWidget::lineEdit_3_textChanged(const QString &) {}
void CanParamWidget::comboBox_3_currentIndexChanged(int) {}
