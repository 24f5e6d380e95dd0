#include "update/UpadteWidget.h"

#include "ui_UpadteWidget.h"

UpadteWidget::UpadteWidget(QWidget *parent) : QWidget(parent), ui(new Ui::UpadteWidgetClass)
{
    ui->setupUi(this);
}

UpadteWidget::~UpadteWidget() { delete ui; }

void UpadteWidget::startUpdate(const QString &filePath) { m_filePath = filePath; }
void UpadteWidget::sendUpdatePhase(int) {}
void UpadteWidget::handleUpdateReply(const QByteArray &) {}
void UpadteWidget::on_pushupdate() {}
