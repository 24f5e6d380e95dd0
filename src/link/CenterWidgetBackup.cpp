// Backups side of CenterWidget: remembers what the device holds, as the
// configuration file would store it, and saves it before each write; the
// "备份…" list loads one back into the pages. Never sends anything.
#include "link/CenterWidget.h"

#include "common/LinkLog.h"
#include "common/MessageBox.h"
#include "files/BackupStore.h"
#include "files/BackupsDialog.h"
#include "files/ConfigFile.h"
#include "link/TrafficLog.h"
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
    // The pages are taken here, while they are the device's; their text
    // waits for the first backup that needs it.
    if (m_backups.folder().isEmpty() || !m_readChainOk || !m_authenticated || !m_serialPort->isOpen() ||
        !m_readBlocks.isComplete())
        return;
    m_deviceJson = pagesJson();
    m_deviceText.clear();
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

void CenterWidget::backupBeforeWrite()
{
    if (m_backups.folder().isEmpty())
        return;
    // Whatever happens to the backup, the write goes out: a user may write
    // what the pages hold at any time, and those who cannot get a backup
    // (a unit whose read never completes, a full disk) are the ones who
    // need the write most. The traffic log says why none was taken.
    m_sentPending = true;
    if (m_deviceJson.isEmpty()) {
        // Without a complete read in this connection there is nothing true
        // to back up: the pages may hold a file or a half read.
        noteNoBackup(tr("未备份设备配置：本次连接尚未完整读取设备配置"));
        return;
    }
    if (m_deviceText.isEmpty())
        m_deviceText = ConfigFile::documentText(m_deviceJson);
    QString error;
    const QString path =
        m_backups.save(m_deviceProduct, m_deviceText, QDateTime::currentDateTimeUtc(), &error);
    if (path.isEmpty())
        noteNoBackup(tr("未备份设备配置：%1").arg(error));
}

void CenterWidget::noteNoBackup(const QString &why)
{
    m_trafficLog->recordNote(why);
    qCDebug(lcLink).noquote() << why;
}

void CenterWidget::noteWriteAcknowledged()
{
    // A write answered only in part leaves the device between two states:
    // the last complete picture (the read, or an earlier whole write) stays
    // the one backed up.
    if (!m_sentPending)
        return;
    m_sentPending = false;
    // Not knowing what the device held, only a write of every block tells
    // what it holds now.
    const bool known = !m_deviceJson.isEmpty();
    if (!known && !m_written.isComplete())
        return;
    // Writing again what the device holds is the common case (write, look,
    // write again; a line writing one file to every unit): the device holds
    // nothing new and its text stands, without taking the pages again.
    // Forms the device cannot tell apart are nothing new either.
    if (known && Protocol::Configuration::differences(m_deviceBlocks, m_written).isEmpty())
        return;
    const QJsonObject sent = pagesJson();
    if (sent != m_deviceJson) {
        m_deviceJson = sent;
        m_deviceText.clear();
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
