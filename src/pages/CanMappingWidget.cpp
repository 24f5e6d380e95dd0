#include "pages/CanMappingWidget.h"

#include "common/MessageBox.h"
#include "pages/MappingValidation.h"
#include "pages/RecvMappingTable.h"
#include "pages/SendMappingTable.h"
#include "pages/TableCells.h"
#include "ui_CanMappingWidget.h"

#include <QCursor>
#include <QJsonArray>
#include <QMenu>
#include <QTableWidget>

namespace {

const QString kHighlight = QStringLiteral("background-color: #FFB6C1;");

} // namespace

CanMappingWidget::CanMappingWidget(QWidget *parent) : QWidget(parent), ui(new Ui::CanMappingWidgetClass)
{
    ui->setupUi(this);
    const auto askCanMode = [this] { emit getcantype(); };
    m_send = std::make_unique<SendMappingTable>(this, ui->m_tableWidgetCanSendMapping, m_canMode, askCanMode);
    m_recv = std::make_unique<RecvMappingTable>(this, ui->m_tableWidgetRecvMapping, m_canMode, askCanMode);

    m_sendMenu = createMenu(&CanMappingWidget::onActionSendMappingDelete, &CanMappingWidget::onActionSendMappingAdd,
                            &CanMappingWidget::onActionSendMappingClearAll);
    m_sendMenu->setObjectName(QStringLiteral("sendMappingMenu"));
    m_recvMenu = createMenu(&CanMappingWidget::onActionRecvMappingDelete, &CanMappingWidget::onActionRecvMappingAdd,
                            &CanMappingWidget::onActionRecvMappingClearAll);
    m_recvMenu->setObjectName(QStringLiteral("recvMappingMenu"));
    connect(ui->m_tableWidgetCanSendMapping, &QWidget::customContextMenuRequested, this,
            &CanMappingWidget::onCanSendMappingCustomContextMenuRequested);
    connect(ui->m_tableWidgetRecvMapping, &QWidget::customContextMenuRequested, this,
            &CanMappingWidget::onCanRecvMappingCustomContextMenuRequested);
}

CanMappingWidget::~CanMappingWidget() { delete ui; }

QMenu *CanMappingWidget::createMenu(void (CanMappingWidget::*del)(), void (CanMappingWidget::*add)(),
                                    void (CanMappingWidget::*clear)())
{
    auto *menu = new QMenu(this);
    connect(menu->addAction(tr("删除")), &QAction::triggered, this, del);
    connect(menu->addAction(tr("添加")), &QAction::triggered, this, add);
    connect(menu->addAction(tr("清空")), &QAction::triggered, this, clear);
    return menu;
}

// ---- rows and rules ----------------------------------------------------------

void CanMappingWidget::onCurrentChange(int)
{
    m_send->formatChanged();
}

void CanMappingWidget::onCurrentCANChange(int index)
{
    m_send->protocolChanged(index);
}

void CanMappingWidget::applyCanMode(int mode)
{
    m_canMode = mode;
    m_send->applyCanMode(mode);
    m_recv->applyCanMode(mode);
}

void CanMappingWidget::onCanSendMappingCustomContextMenuRequested(const QPoint &)
{
    m_sendMenu->exec(QCursor::pos());
}

void CanMappingWidget::onActionSendMappingDelete()
{
    m_send->deleteSelectedRows();
}
void CanMappingWidget::onActionSendMappingAdd()
{
    m_send->addRow();
}
void CanMappingWidget::onActionSendMappingClearAll()
{
    m_send->clear();
}

void CanMappingWidget::onCanRecvMappingCustomContextMenuRequested(const QPoint &)
{
    m_recvMenu->exec(QCursor::pos());
}

void CanMappingWidget::onActionRecvMappingDelete()
{
    m_recv->deleteSelectedRows();
}
void CanMappingWidget::onActionRecvMappingAdd()
{
    m_recv->addRow();
}
void CanMappingWidget::onActionRecvMappingClearAll()
{
    m_recv->clear();
}

// ---- wire blocks ---------------------------------------------------------------

void CanMappingWidget::writeSendBlock(QByteArray &frame) const
{
    m_send->mapping().encode(frame);
}

void CanMappingWidget::readSendBlock(const QByteArray &frame)
{
    m_send->read(Protocol::SendMapping::decode(frame));
}

void CanMappingWidget::writeRecvBlock(QByteArray &frame) const
{
    m_recv->mapping().encode(frame);
}

void CanMappingWidget::readRecvBlock(const QByteArray &frame)
{
    m_recv->read(Protocol::RecvMapping::decode(frame));
}

// ---- validation ----------------------------------------------------------------

bool CanMappingWidget::validateMappings()
{
    const MappingFinding finding = findMappingFault(m_send->validationRows(), m_recv->validationRows());
    const auto cellOf = [this](const MappingCell &cell) {
        return (cell.send ? m_send->table() : m_recv->table())->cellWidget(cell.row, cell.column);
    };
    for (const MappingCell &cell : finding.cleared)
        changeStyleSheet(cellOf(cell), QString());
    if (finding.accepted)
        return true;
    for (const MappingCell &cell : finding.highlighted)
        changeStyleSheet(cellOf(cell), kHighlight);
    showMessageBox(QMessageBox::Warning, this, finding.title, finding.text, finding.button);
    return false;
}

// ---- configuration file ----------------------------------------------------------

QStringList CanMappingWidget::sendRowStrings() const
{
    return m_send->rowStrings();
}

QStringList CanMappingWidget::recvRowStrings() const
{
    return m_recv->rowStrings();
}

QJsonObject CanMappingWidget::toJson() const
{
    // Every connect's backup picture asks for the rows, which mostly are
    // what they were the last time: the object is made only when one changed.
    QStringList send = sendRowStrings();
    QStringList recv = recvRowStrings();
    if (m_json.isEmpty() || send != m_jsonSend || recv != m_jsonRecv) {
        QJsonObject object;
        object.insert(QStringLiteral("sendMap"), QJsonArray::fromStringList(send));
        object.insert(QStringLiteral("recMap"), QJsonArray::fromStringList(recv));
        m_json = object;
        m_jsonSend = std::move(send);
        m_jsonRecv = std::move(recv);
    }
    return m_json;
}

void CanMappingWidget::fromJson(const QJsonObject &object)
{
    m_send->startRefill();
    m_recv->startRefill();
    m_send->loadRows(object.value(QStringLiteral("sendMap")).toArray());
    m_recv->loadRows(object.value(QStringLiteral("recMap")).toArray());
}
