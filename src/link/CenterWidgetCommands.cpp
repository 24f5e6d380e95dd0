// Command side of CenterWidget: the pages and their wiring, the read,
// write and restore-defaults sequences, and the routing of replies.
#include "link/CenterWidget.h"

#include "common/LinkLog.h"
#include "common/MessageBox.h"
#include "devinfo/DeviceInfoWidget.h"
#include "pages/CanMappingWidget.h"
#include "pages/CanParamWidget.h"
#include "pages/ConvertParamWidget.h"
#include "pages/ModBusWidget.h"
#include "pages/SerialParamWidget.h"
#include "protocol/ConfigFrame.h"
#include "protocol/Configuration.h"
#include "protocol/ConversionBlock.h"
#include "protocol/DeviceInfo.h"
#include "protocol/Handshake.h"
#include "protocol/UpdateFrame.h"
#include "update/UpadteWidget.h"

#include "ui_CenterWidget.h"

#include <QScopedValueRollback>

#include <initializer_list>

using namespace ConfigFrame;

void CenterWidget::createPages(Looks looks)
{
    m_deviceInfoPage = new DeviceInfoWidget();
    m_convertPage = new ConvertParamWidget(&m_lastReply);
    m_serialPage = new SerialParamWidget(&m_lastReply);
    m_canPage = new CanParamWidget(&m_lastReply);
    m_mappingPage = new CanMappingWidget();
    m_modbusPage = new ModBusWidget();
    m_updatePage = new UpadteWidget();

    m_replyTimer = new QTimer(this);
    m_replyTimer->setSingleShot(true);

    if (looks == Looks::Plain) {
        // Before the pages join the window: cleared later, every widget
        // would be styled twice.
        const std::initializer_list<QWidget *> pages = {m_deviceInfoPage, m_convertPage, m_serialPage,
                                                        m_canPage,        m_mappingPage, m_modbusPage,
                                                        m_updatePage};
        for (QWidget *page : pages) {
            page->setStyleSheet(QString());
            for (QWidget *child : page->findChildren<QWidget *>()) {
                if (!child->styleSheet().isEmpty())
                    child->setStyleSheet(QString());
            }
        }
    }

    setPagesEnabled(false);
    QTabWidget *tabs = ui->m_tabWidgetDevInfo;
    tabs->addTab(m_convertPage, tr("转换模式"));
    tabs->addTab(m_serialPage, tr("串口参数"));
    tabs->addTab(m_canPage, tr("CAN参数"));
    tabs->addTab(m_modbusPage, tr("Modbus"));
    tabs->addTab(m_mappingPage, tr("ID映射"));
    tabs->addTab(m_deviceInfoPage, tr("设备信息"));
    tabs->addTab(m_updatePage, tr("固件更新"));
    tabs->setCurrentIndex(0);
    ui->m_comboBoxDevPort->setEnabled(false);
}

void CenterWidget::connectPages()
{
    // Direct connections throughout: receivers finish before senders go on.
    connect(m_convertPage, &ConvertParamWidget::signalCanMappingEnable, this,
            &CenterWidget::onCanMappingEnable);
    connect(m_convertPage, &ConvertParamWidget::Changemode, this, &CenterWidget::on_Changemode);
    connect(m_canPage, &CanParamWidget::comboBox_2_Change, this, &CenterWidget::on_intermediateFunction);
    connect(m_canPage, &CanParamWidget::agreement, m_convertPage, &ConvertParamWidget::setOffsetMaximum);
    connect(m_canPage, &CanParamWidget::comboBox_3_Change, m_convertPage,
            &ConvertParamWidget::setIdLengthMaximum);
    connect(m_mappingPage, &CanMappingWidget::getcantype, this,
            [this] { m_mappingPage->setCanMode(m_canPage->canMode()); });
    connect(m_updatePage, &UpadteWidget::Updasend, this, &CenterWidget::sendFrame);
    m_updatePage->setLinkBusy([this] { return isBusy(); });
}

bool CenterWidget::buildConfigFrame(quint8 code, QByteArray &frame)
{
    frame = header(code);
    // The pages write their fields one by one: room for all of them at once.
    frame.reserve(requestLength(code));
    switch (code) {
    case Challenge:
        m_challenge = Handshake::newChallenge();
        frame = challengeRequest(m_challenge);
        return true;
    case WriteMain:
        // A refused write must not leave the previous write's decision behind.
        m_sendModbusBlocks = false;
        m_serialPage->writeBlock(frame);
        if (!m_canPage->writeBlock(frame))
            return false;
        m_convertPage->writeBlock(frame);
        m_sendModbusBlocks = m_convertPage->block().usesModbus();
        break;
    case WriteFilters:
        m_canPage->writeFilterBlock(frame);
        break;
    case WriteModbus:
        m_modbusPage->writeBlock(frame);
        break;
    case WriteRecvMapping:
        m_mappingPage->writeRecvBlock(frame);
        break;
    case WriteSendMapping:
        m_mappingPage->writeSendBlock(frame);
        break;
    default:
        if (isReadRequest(code))
            frame.append('\0');
        break;
    }
    // Every command has a fixed length; bytes no block wrote are 0x00.
    const int payloadEnd = requestLength(code) - 2;
    if (frame.size() < payloadEnd)
        frame.append(QByteArray(payloadEnd - frame.size(), '\0'));
    appendCrc(frame);
    return true;
}

void CenterWidget::on_readconfiguration()
{
    if (isBusy() || !m_authenticated)
        return;
    const QScopedValueRollback<bool> busy(m_busy, true);
    runReadSequence();
}

void CenterWidget::runReadSequence()
{
    // Each read starts afresh: one earlier time-out must not cut every
    // later read short.
    m_readChainOk = true;
    for (const quint8 code : FullReadOrder) {
        sendCommand(code);
        // A time-out ends the read, but for that of the filters, read last.
        if (code != ReadFilters && (!m_readChainOk || !m_serialPort->isOpen()))
            return;
    }
    finishReadSequence();
}

void CenterWidget::finishReadSequence()
{
    const int mode = m_canPage->canMode();
    m_mappingPage->applyCanMode(mode);
    m_convertPage->setOffsetMaximum(mode);
    m_convertPage->setIdLengthMaximum(m_canPage->frameTypeIndex());
    m_modbusPage->onType(mode);
    noteReadCompleted();
}

void CenterWidget::on_Writepushbutton()
{
    if (isBusy() || !m_authenticated)
        return;
    const QScopedValueRollback<bool> busy(m_busy, true);
    QList<QByteArray> frames;
    if (!writeFrames(&frames))
        return;
    backupBeforeWrite();
    // Decided once per write: a late acknowledgement of a verified write
    // must not announce it either.
    m_verifyingWrite = ui->m_checkBoxVerifyAfterWrite->isChecked();
    m_unacknowledged.clear();
    // What the write sends, as values: what a read-back must find, and what
    // the device holds once every frame is acknowledged.
    m_written = Protocol::Configuration();
    for (const QByteArray &frame : qAsConst(frames)) {
        m_unacknowledged.insert(commandOf(frame));
        m_written.takeFrame(frame);
        sendAndWait(frame, true);
    }
    finishWriteVerification();
}

bool CenterWidget::writeFrames(QList<QByteArray> *frames)
{
    if (m_convertPage->block().mode == Protocol::ConversionBlock::kModeModbusSlave &&
        !m_mappingPage->validateMappings())
        return false;
    // A main block the CAN page refuses (bad identifier) cancels the write.
    QByteArray mainFrame;
    if (!buildConfigFrame(WriteMain, mainFrame))
        return false;
    QList<QByteArray> result{mainFrame};
    if (m_sendModbusBlocks) {
        for (const quint8 code : {WriteRecvMapping, WriteSendMapping, WriteModbus})
            result << configFrame(code);
    }
    result << configFrame(WriteFilters);
    *frames = result;
    return true;
}

void CenterWidget::takeConnectReplies(const QByteArray &deviceInfoReply, const QList<QByteArray> &readReplies)
{
    // As on_Connectpushbutton goes once the challenge is answered.
    forgetDeviceConfiguration();
    setPagesEnabled(true);
    dispatchReply(deviceInfoReply);
    const QScopedValueRollback<bool> quiet(m_showReadResult, false);
    for (const QByteArray &reply : readReplies)
        dispatchReply(reply);
    finishReadSequence();
}

void CenterWidget::on_Defaultpushbutton()
{
    if (isBusy() || !m_authenticated)
        return;
    const QScopedValueRollback<bool> busy(m_busy, true);
    sendCommand(RestoreDefaults);
    // A device lost on the way never heard of the reset: the Modbus page
    // keeps what it shows rather than pretend it was reset too.
    if (!m_serialPort->isOpen())
        return;
    m_modbusPage->loadDefaults();
    sendCommand(WriteModbus);
    if (!m_serialPort->isOpen())
        return;
    m_showReadResult = false;
    runReadSequence();
    m_showReadResult = true;
}

void CenterWidget::dispatchReply(const QByteArray &reply)
{
    const quint8 code = commandOf(reply);
    // Pages read fixed offsets: a frame too short for its layout never
    // reaches them.
    if (reply.size() < minimumReplyLength(code)) {
        qCDebug(lcLink) << "short reply dropped, command" << code << "length" << reply.size();
        return;
    }
    if (m_capture && isConfigurationRead(code)) {
        m_capture->takeFrame(reply);
        return;
    }
    if (isConfigurationRead(code))
        noteReadReply(reply);
    switch (code) {
    case UpdateFrame::AckCommand: {
        m_updatePage->handleUpdateReply(reply);
        const UpdateFrame::Ack ack = UpdateFrame::ack(reply);
        if (ack.phase == UpdateFrame::End && ack.status == UpdateFrame::Accepted) {
            // The device restarts with its new firmware.
            m_authenticated = false;
            closeConnection();
        }
        break;
    }
    case Challenge:
        verifyChallenge(reply);
        break;
    case ReadMain:
        m_lastReply = reply;
        m_canPage->readBlock();
        m_serialPage->readBlock();
        m_convertPage->readBlock();
        if (m_showReadResult)
            showMessageBox(QMessageBox::Information, this, tr("成功"), tr("读配置成功"));
        break;
    case WriteFilters:
        m_unacknowledged.remove(code);
        // The write is done only when the device acknowledged every frame
        // of it: a block whose answer never came may not have reached it.
        // (A late answer still counts when it lands before this one.)
        // With verification on, only the read-back may announce it.
        if (m_unacknowledged.isEmpty()) {
            noteWriteAcknowledged();
            if (!m_verifyingWrite)
                showMessageBox(QMessageBox::Information, this, tr("成功"), tr("写配置成功"));
        }
        break;
    case WriteMain:
    case WriteModbus:
    case WriteRecvMapping:
    case WriteSendMapping:
        m_unacknowledged.remove(code);
        break;
    case ReadFilters:
        m_lastReply = reply;
        m_canPage->readFilterBlock();
        break;
    case ReadDeviceInfo:
        parseDeviceInfo(reply);
        break;
    case RestoreDefaults:
        showMessageBox(QMessageBox::Information, this, tr("成功"), tr("恢复默认值成功"));
        break;
    case ReadModbus:
        m_modbusPage->readBlock(reply);
        break;
    case ReadRecvMapping:
        m_mappingPage->readRecvBlock(reply);
        break;
    case ReadSendMapping:
        m_mappingPage->readSendBlock(reply);
        break;
    default:
        break; // anything unknown
    }
}

void CenterWidget::parseDeviceInfo(const QByteArray &reply)
{
    using Protocol::DeviceInfo;
    const DeviceInfo info = DeviceInfo::decode(reply);
    const QString deviceType = info.deviceTypeText();
    ui->m_comboBoxDevPort->clear();
    ui->m_comboBoxDevPort->addItem(deviceType);
    m_deviceInfoPage->setDeviceInfo(deviceType, DeviceInfo::versionText(info.hardware),
                                    DeviceInfo::versionText(info.firmware), info.productNumberText());
    m_deviceProduct = info.productNumberText();
    m_convertPage->setDeviceType(info.typeCode);
}

void CenterWidget::onCanMappingEnable(bool enable)
{
    m_mappingPage->setEnabled(enable);
    m_modbusPage->setEnabled(enable);
}

void CenterWidget::on_Changemode(int)
{
    m_mappingPage->applyCanMode(m_canPage->canMode());
}

void CenterWidget::on_intermediateFunction(int index)
{
    m_mappingPage->applyCanMode(index);
}

bool CenterWidget::pagesConfiguration(Protocol::Configuration *blocks)
{
    QList<QByteArray> frames;
    if (!writeFrames(&frames))
        return false;
    Protocol::Configuration result;
    for (const QByteArray &frame : qAsConst(frames))
        result.takeFrame(frame);
    *blocks = result;
    return true;
}

bool CenterWidget::readDeviceConfiguration(Protocol::Configuration *device)
{
    if (isBusy() || !m_authenticated)
        return false;
    const QScopedValueRollback<bool> busy(m_busy, true);
    Protocol::Configuration captured;
    const QScopedValueRollback<Protocol::Configuration *> capture(m_capture, &captured);
    // The frames and their order are those of the full read; only where
    // the replies go differs.
    m_readChainOk = true;
    for (const quint8 code : FullReadOrder) {
        sendCommand(code);
        if (!m_readChainOk || !m_serialPort->isOpen())
            return false;
    }
    if (!captured.isComplete())
        return false;
    *device = captured;
    return true;
}

QByteArray CenterWidget::configFrame(quint8 command)
{
    QByteArray frame;
    return buildConfigFrame(command, frame) ? frame : QByteArray();
}
