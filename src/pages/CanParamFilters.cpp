// The acceptance-filter half of CanParamWidget.
#include "pages/CanParamWidget.h"

#include "ui_CanParamWidget.h"

void CanParamWidget::writeFilterBlock(QByteArray &) const {}
void CanParamWidget::readFilterBlock() {}
void CanParamWidget::oncheckBox(bool) {}
void CanParamWidget::onCanSendMappingCustomContextMenuRequested(const QPoint &) {}
void CanParamWidget::onActionSendMappingDelete() {}
void CanParamWidget::onActionSendMappingAdd() {}
void CanParamWidget::oncomboxCurrenttextChange(int) {}
