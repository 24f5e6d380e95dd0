// Backups side of CenterWidget: remembers what the device holds, as the
// configuration file would store it, and saves it before each write; the
// "备份…" list loads one back into the pages. Never sends anything.
#include "link/CenterWidget.h"

#include "common/MessageBox.h"
#include "files/BackupStore.h"
#include "files/BackupsDialog.h"
#include "files/ConfigFile.h"
#include "protocol/ConfigFrame.h"

#include "ui_CenterWidget.h"

#include <QAction>
#include <QDateTime>

QString CenterWidget::portName() const
{
    return ui->m_comboBoxSerial->currentText().trimmed();
}

void CenterWidget::forgetDeviceConfiguration()
{
    // A new connection may be another device: nothing of the last one counts.
    m_deviceJson = QJsonObject();
    m_deviceText.clear();
    m_deviceBlocks = Protocol::Configuration();
    m_readBlocks = Protocol::Configuration();
    m_sentPending = false;
    m_deviceProduct.clear();
    // Pruning trusts what the store listed; another window may have added
    // backups since the last connection.
    m_backups = BackupStore(m_backups.folder());
}

void CenterWidget::noteReadCompleted()
{
    // A read cut short (time-out, lost port) leaves the pages half the
    // device's and half what they showed: the last complete picture stays.
    // The text is made here, once, so that a write only writes it out.
    if (m_backups.folder().isEmpty() || !m_readChainOk || !m_authenticated || !m_serialPort->isOpen() ||
        !m_readBlocks.isComplete())
        return;
    m_deviceJson = pagesJson();
    m_deviceText = ConfigFile::documentText(m_deviceJson);
    m_deviceBlocks = m_readBlocks;
    m_sentPending = false;
}

// Every configuration reply, as values: what a complete read found.
void CenterWidget::noteReadReply(const QByteArray &reply)
{
    if (m_backups.folder().isEmpty())
        return;
    if (ConfigFrame::commandOf(reply) == ConfigFrame::ReadMain)
        m_readBlocks = Protocol::Configuration(); // a read begins
    m_readBlocks.takeFrame(reply);
}

bool CenterWidget::backupBeforeWrite()
{
    if (m_backups.folder().isEmpty())
        return true;
    // Without a complete read in this connection there is nothing true to
    // back up: the pages may hold a file or a half read, not the device.
    // Writing without a backup is what this guards against, so the write
    // waits until "读配置" has shown what the device holds.
    if (m_deviceText.isEmpty()) {
        showMessageBox(QMessageBox::Warning, this, tr("提示"),
                       tr("尚未完整读取设备配置，无法在写配置前备份，写配置未发送。请先读配置。"));
        return false;
    }
    QString error;
    const QString path =
        m_backups.save(m_deviceProduct, m_deviceText, QDateTime::currentDateTimeUtc(), &error);
    if (path.isEmpty()) {
        showMessageBox(QMessageBox::Warning, this, tr("错误"),
                       tr("备份设备配置失败，写配置未发送。") + QLatin1Char('\n') + error);
        return false;
    }
    m_sentPending = true;
    return true;
}

void CenterWidget::noteWriteAcknowledged()
{
    // A write answered only in part leaves the device between two states:
    // the last complete picture (the read, or an earlier whole write) stays
    // the one backed up.
    if (!m_sentPending)
        return;
    m_sentPending = false;
    // Writing again what the device holds is the common case (write, look,
    // write again; a line writing one file to every unit): the device holds
    // nothing new and its text stands, without taking the pages again.
    // Forms the device cannot tell apart are nothing new either.
    if (Protocol::Configuration::differences(m_deviceBlocks, m_written).isEmpty())
        return;
    const QJsonObject sent = pagesJson();
    if (sent != m_deviceJson) {
        m_deviceJson = sent;
        m_deviceText = ConfigFile::documentText(sent);
    }
    // Blocks a write leaves out (the mapping and Modbus blocks outside the
    // Modbus modes) keep what the device held.
    const Protocol::Configuration &s = m_written;
    Protocol::Configuration &d = m_deviceBlocks;
    if (s.main)
        d.main = s.main;
    if (s.filters)
        d.filters = s.filters;
    if (s.modbus)
        d.modbus = s.modbus;
    if (s.send)
        d.send = s.send;
    if (s.recv)
        d.recv = s.recv;
}

void CenterWidget::openBackups()
{
    if (isBusy())
        return;
    // open(), not exec(): no nested loop, so the link keeps being served
    // and the choice can be made by a test as by a user.
    auto *dialog = new BackupsDialog(m_backups.entries(), this);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
        const QString path = dialog->selectedPath();
        if (result == QDialog::Accepted && !path.isEmpty() && !isBusy())
            loadConfiguration(path);
        // Not on close: the load's box turns a loop that would delete the
        // dialog while its own signal still runs.
        dialog->deleteLater();
    });
    dialog->open();
}
