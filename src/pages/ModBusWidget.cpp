#include "pages/ModBusWidget.h"

#include "ui_ModBusWidget.h"

ModBusWidget::ModBusWidget(QWidget *parent) : QWidget(parent), ui(new Ui::ModBusWidgetClass)
{
    ui->setupUi(this);
}

ModBusWidget::~ModBusWidget() { delete ui; }

void ModBusWidget::writeBlock(QByteArray &) const {}
void ModBusWidget::readBlock(const QByteArray &) {}
void ModBusWidget::loadDefaults() {}
QJsonObject ModBusWidget::toJson() const { return {}; }
void ModBusWidget::fromJson(const QJsonObject &) {}
void ModBusWidget::on_changecomboBox_2(const QString &) {}
void ModBusWidget::onTextChanged(const QString &) {}
void ModBusWidget::onTimeTextChanged(const QString &) {}
void ModBusWidget::onCurrenttextChange(int) {}
void ModBusWidget::onM_ComboBoxHeartEnable(int) {}
void ModBusWidget::oncomboBoxChange(int) {}
void ModBusWidget::comboBoxFrameFormat(int) {}
void ModBusWidget::onType(int) {}
bool ModBusWidget::eventFilter(QObject *watched, QEvent *event) { return QWidget::eventFilter(watched, event); }
