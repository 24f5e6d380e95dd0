// Link side of CenterWidget: the port, the connect handshake, send-and-wait
// and the receive path.
#include "link/CenterWidget.h"

#include "common/LinkLog.h"
#include "common/MessageBox.h"
#include "link/TrafficLog.h"
#include "link/TrafficLogPanel.h"
#include "pages/CanMappingWidget.h"
#include "pages/CanParamWidget.h"
#include "pages/ConvertParamWidget.h"
#include "pages/ModBusWidget.h"
#include "pages/SerialParamWidget.h"
#include "protocol/ByteFields.h"
#include "protocol/ConfigFrame.h"
#include "protocol/Handshake.h"
#include "protocol/ReplyAssembly.h"
#include "protocol/UpdateFrame.h"
#include "update/UpadteWidget.h"

#include "ui_CenterWidget.h"

#include <QAction>
#include <QDockWidget>
#include <QMutexLocker>
#include <QScopedValueRollback>

QByteArray CenterWidget::sharedKey()
{
    return Handshake::sharedKey();
}

QString CenterWidget::openFailureText(const SerialLine &port)
{
    return tr("打开设备") + tr("失败.错误码:") + QString::number(port.errorCode()) + tr(",描述：") +
           port.errorString();
}

CenterWidget::CenterWidget(QWidget *parent, Looks looks) : QMainWindow(parent), ui(new Ui::CenterWidgetClass)
{
    ui->setupUi(this);
    if (looks == Looks::Plain)
        setStyleSheet(QString());
    m_serialPort = SerialLine::create(this);
    createCompareTools();
    m_backupsAction = new QAction(tr("备份…"), this);
    m_backupsAction->setObjectName(QStringLiteral("actionBackups"));
    connect(m_backupsAction, &QAction::triggered, this, &CenterWidget::openBackups);
    createPages(looks);
    connectPages();

    m_trafficLog = new TrafficLog(this);
    m_trafficLogDock = new QDockWidget(tr("通信记录"), this);
    m_trafficLogDock->setObjectName(QStringLiteral("trafficLogDock"));
    m_trafficLogDock->setWidget(new TrafficLogPanel(m_trafficLog, m_trafficLogDock));
    addDockWidget(Qt::BottomDockWidgetArea, m_trafficLogDock);
    m_trafficLogDock->hide();
    trafficLogAction()->setObjectName(QStringLiteral("actionTrafficLog"));

    connect(m_serialPort, &SerialLine::readyRead, this, &CenterWidget::handleReadyRead);
    connect(m_serialPort, &SerialLine::errorOccurred, this, &CenterWidget::onPortError);
    connect(m_replyTimer, &QTimer::timeout, this, &CenterWidget::onReplyTimeout);
    connect(ui->m_pushButtonConnect, &QPushButton::clicked, this, &CenterWidget::on_Connectpushbutton);
    connect(ui->m_pushButtonRead, &QPushButton::clicked, this, &CenterWidget::on_readconfiguration);
    connect(ui->m_pushButtonWrite, &QPushButton::clicked, this, &CenterWidget::on_Writepushbutton);
    connect(ui->m_pushButtonDefault, &QPushButton::clicked, this, &CenterWidget::on_Defaultpushbutton);
    connect(ui->m_pushButtonSaveToFile, &QPushButton::clicked, this, &CenterWidget::on_SaveFilepushbutton);
    connect(ui->m_pushButtonReadFromFile, &QPushButton::clicked, this, &CenterWidget::on_OpenFilepushbutton);
}

CenterWidget::~CenterWidget()
{
    delete ui;
}

QAction *CenterWidget::trafficLogAction() const
{
    return m_trafficLogDock->toggleViewAction();
}

void CenterWidget::setPortName(const QString &name)
{
    const int index = ui->m_comboBoxSerial->findText(name);
    if (index >= 0)
        ui->m_comboBoxSerial->setCurrentIndex(index);
    else
        ui->m_comboBoxSerial->setEditText(name);
}

bool CenterWidget::listsPort(const QString &name) const
{
    return ui->m_comboBoxSerial->findText(name) >= 0;
}

void CenterWidget::refreshSerialPorts()
{
    QComboBox *box = ui->m_comboBoxSerial;
    const QString current = box->currentText();
    const bool typed = !current.isEmpty() && box->findText(current) < 0;

    box->clear();
    for (const SerialLine::PortInfo &info : SerialLine::availablePorts())
        box->addItem(info.name);

    // A chosen port that is still present stays chosen; a path the user
    // typed (a pseudo-terminal, say) is never listed and stays as typed.
    if (typed || box->findText(current) >= 0)
        setPortName(current);
}

void CenterWidget::openPort()
{
    const QString name = ui->m_comboBoxSerial->currentText().trimmed();
    if (name.isEmpty()) {
        showMessageBox(QMessageBox::Information, this, tr("提示"), tr("串口名不能位空."));
        return;
    }
    m_serialPort->setPortName(name);
    discardReceived();
    if (m_serialPort->open()) {
        // Bytes that reached the line while nobody listened (a reply that
        // came after its time-out closed the port) answer nothing of ours.
        m_serialPort->clear();
        m_portOpened = true;
        return;
    }
    showMessageBox(QMessageBox::Warning, this, tr("错误"), openFailureText(*m_serialPort));
}

void CenterWidget::on_Connectpushbutton(bool)
{
    if (isBusy())
        return;
    // The state, not the button's caption, decides: the caption is translated.
    if (m_authenticated) {
        m_authenticated = false;
        closeConnection();
        return;
    }

    m_portOpened = false;
    openPort();
    if (!m_portOpened)
        return;

    const QScopedValueRollback<bool> busy(m_busy, true);
    forgetDeviceConfiguration();
    sendCommand(ConfigFrame::Challenge);
    if (!m_authenticated) {
        // A wrong answer leaves the port open; close it so that the next
        // click connects instead of failing to open a port still in use.
        if (m_serialPort->isOpen())
            closeConnection();
        return;
    }

    setPagesEnabled(true);
    discardReceived();
    sendCommand(ConfigFrame::ReadDeviceInfo);
    m_readChainOk = true;
    m_showReadResult = false;
    runReadSequence();
    m_showReadResult = true;
    if (m_authenticated)
        emit connected();
}

void CenterWidget::closeConnection()
{
    m_replyTimer->stop();
    if (m_serialPort->isOpen()) {
        m_serialPort->clear();
        m_serialPort->close();
    }
    m_serialPort->clearError();
    ui->m_pushButtonConnect->setText(tr("连接设备"));
    setPagesEnabled(false);
    ui->m_comboBoxSerial->setEnabled(true);
    ui->m_comboBoxDevPort->clear();
    forgetDeviceConfiguration();
    if (m_waitLoop.isRunning())
        m_waitLoop.quit();
}

void CenterWidget::setPagesEnabled(bool enable)
{
    m_convertPage->setEnabled(enable);
    m_canPage->setEnabled(enable);
    m_serialPage->setEnabled(enable);
    m_updatePage->setEnabled(enable);
    ui->m_pushButtonDefault->setEnabled(enable);
    ui->m_pushButtonSaveToFile->setEnabled(enable);
    ui->m_pushButtonReadFromFile->setEnabled(enable);
    m_backupsAction->setEnabled(enable);
    ui->m_pushButtonRead->setEnabled(enable);
    ui->m_pushButtonWrite->setEnabled(enable);
    m_compareDeviceAction->setEnabled(enable);
    // Only the conversion mode "MODBUS从站" makes these two usable.
    m_modbusPage->setEnabled(false);
    m_mappingPage->setEnabled(false);
}

bool CenterWidget::sendCommand(quint8 code)
{
    QByteArray frame;
    if (!buildConfigFrame(code, frame))
        return false;
    sendAndWait(frame, true);
    return true;
}

void CenterWidget::sendFrame(const QByteArray &frame)
{
    sendAndWait(frame, false);
}

void CenterWidget::sendAndWait(const QByteArray &frame, bool logFrame)
{
    // One exchange at a time: the timer and the wait loop cannot be shared.
    if (m_waitLoop.isRunning()) {
        qCWarning(lcLink) << "send refused: another command is waiting for its reply";
        return;
    }
    // A port lost mid-sequence has been reported once already.
    if (!m_serialPort->isOpen())
        return;
    // Whatever is left of an earlier, broken reply must not end up in
    // front of this command's reply.
    discardReceived();
    if (logFrame)
        qCDebug(lcLink).noquote() << hexDump(frame) << "///";
    // A firmware packet is answered by an acknowledgement naming its phase.
    m_awaitedPhase = UpdateFrame::packetPhase(frame);
    m_awaitedReply = m_awaitedPhase != 0 ? UpdateFrame::AckCommand : ConfigFrame::commandOf(frame);

    const qint64 written = m_refuseSend && m_refuseSend(frame) ? -1 : m_serialPort->write(frame);
    if (written <= 0) {
        showMessageBox(QMessageBox::Information, this, tr("提醒"), tr("发送失败"));
        return;
    }
    m_trafficLog->recordSent(frame);
    m_replyTimer->start(ReplyTimeoutMs);
    m_waitLoop.exec();
}

void CenterWidget::handleReadyRead()
{
    receiveBytes(m_serialPort->readAll());
}

void CenterWidget::receiveBytes(const QByteArray &bytes)
{
    {
        QMutexLocker locker(&m_rxMutex);
        m_rxBuffer.append(bytes);
        if (m_rxBuffer.size() > MaxReceiveBuffer) {
            const int excess = m_rxBuffer.size() - MaxReceiveBuffer;
            m_trafficLog->recordDiscarded(m_rxBuffer.left(excess));
            m_rxBuffer.remove(0, excess);
        }
        qCDebug(lcLink).noquote() << hexDump(m_rxBuffer) << "接受到";
    }
    // A frame too short for what its command byte announces is not taken:
    // either more bytes complete it, or the time-out drops it.
    QByteArray reply;
    while (takeReply(reply)) {
        // Only the answer to the request outstanding ends its wait: a late
        // reply to an earlier command (or one with a command byte nobody
        // asked for) must not pass for it. Such a reply is still handled.
        const bool awaited = m_replyTimer->isActive() && answersOutstanding(reply);
        if (awaited) {
            m_waitLoop.quit();
            m_replyTimer->stop();
        }
        // Marked as dispatchReply will treat it; it is handled all the same.
        TrafficLog::Mark mark = awaited ? TrafficLog::Mark::None : TrafficLog::Mark::NotAwaited;
        if (reply.size() < ConfigFrame::minimumReplyLength(ConfigFrame::commandOf(reply)))
            mark = TrafficLog::Mark::TooShort;
        m_trafficLog->recordReceived(reply, mark);
        dispatchReply(reply);
    }
}

bool CenterWidget::answersOutstanding(const QByteArray &reply) const
{
    if (ConfigFrame::commandOf(reply) != m_awaitedReply)
        return false;
    // Firmware acknowledgements all carry 0x00; their phase byte tells
    // which packet they answer.
    return m_awaitedReply != UpdateFrame::AckCommand || UpdateFrame::ack(reply).phase == m_awaitedPhase;
}

void CenterWidget::discardReceived()
{
    QMutexLocker locker(&m_rxMutex);
    m_trafficLog->recordDiscarded(m_rxBuffer);
    m_rxBuffer.clear();
}

bool CenterWidget::takeReply(QByteArray &reply)
{
    QMutexLocker locker(&m_rxMutex);
    const int length = ReplyAssembly::completeReplyLength(m_rxBuffer);
    if (length == 0)
        return false;
    reply = m_rxBuffer.left(length);
    m_rxBuffer.remove(0, length);
    return true;
}

void CenterWidget::onReplyTimeout()
{
    m_waitLoop.quit();
    m_trafficLog->recordTimeout(m_awaitedReply, m_awaitedPhase);
    discardReceived();
    if (!m_authenticated) {
        if (m_serialPort->isOpen()) {
            m_serialPort->clear();
            m_serialPort->close();
        }
        showMessageBox(QMessageBox::Information, this, tr("提醒"), tr("设备连接校验失败"));
        return;
    }
    m_readChainOk = false;
    showMessageBox(QMessageBox::Information, this, tr("提醒"), tr("时间超时"));
}

void CenterWidget::onPortError(SerialLine::Error error)
{
    // Only a lost device ends the connection; other errors are reported
    // where they happen (opening, writing).
    if (error != SerialLine::Error::Lost || !m_serialPort->isOpen())
        return;
    const QString reason = m_serialPort->errorString();
    m_authenticated = false;
    // The device is gone: flushing its buffers would only fail (and report
    // the failure again), so just let go of it.
    disconnect(m_serialPort, &SerialLine::errorOccurred, this, &CenterWidget::onPortError);
    m_serialPort->close();
    connect(m_serialPort, &SerialLine::errorOccurred, this, &CenterWidget::onPortError);
    closeConnection();
    showMessageBox(QMessageBox::Warning, this, tr("错误"), tr("串口已断开: ") + reason);
}

void CenterWidget::verifyChallenge(const QByteArray &reply)
{
    const bool match = Handshake::replyMatches(reply, m_challenge, sharedKey());
    if (!match) {
        showMessageBox(QMessageBox::Information, this, tr("失败"), tr("连接失败"));
        return;
    }
    m_authenticated = true;
    ui->m_pushButtonConnect->setText(tr("断开连接"));
    ui->m_comboBoxSerial->setEnabled(false);
    showMessageBox(QMessageBox::Information, this, tr("成功"), tr("连接成功"));
}
