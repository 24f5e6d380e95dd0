#include "pages/CanMappingWidget.h"

#include "ui_CanMappingWidget.h"

CanMappingWidget::CanMappingWidget(QWidget *parent) : QWidget(parent), ui(new Ui::CanMappingWidgetClass)
{
    ui->setupUi(this);
}

CanMappingWidget::~CanMappingWidget() { delete ui; }

void CanMappingWidget::writeSendBlock(QByteArray &) const {}
void CanMappingWidget::readSendBlock(const QByteArray &) {}
void CanMappingWidget::writeRecvBlock(QByteArray &) const {}
void CanMappingWidget::readRecvBlock(const QByteArray &) {}
bool CanMappingWidget::validateMappings() { return true; }
void CanMappingWidget::applyCanMode(int) {}
QStringList CanMappingWidget::sendRowStrings() const { return {}; }
QStringList CanMappingWidget::recvRowStrings() const { return {}; }
QJsonObject CanMappingWidget::toJson() const { return {}; }
void CanMappingWidget::fromJson(const QJsonObject &) {}
void CanMappingWidget::onCanSendMappingCustomContextMenuRequested(const QPoint &) {}
void CanMappingWidget::onActionSendMappingDelete() {}
void CanMappingWidget::onActionSendMappingAdd() {}
void CanMappingWidget::onActionSendMappingClearAll() {}
void CanMappingWidget::onCanRecvMappingCustomContextMenuRequested(const QPoint &) {}
void CanMappingWidget::onActionRecvMappingDelete() {}
void CanMappingWidget::onActionRecvMappingAdd() {}
void CanMappingWidget::onActionRecvMappingClearAll() {}
void CanMappingWidget::onCurrentChange(int) {}
void CanMappingWidget::onCurrentCANChange(int) {}
