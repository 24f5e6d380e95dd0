// Compare side of CenterWidget: the device or a file held against the
// window before a write, and the read-back that verifies a write after it.
// Nothing here changes a page, and nothing goes to the device unless the
// user asked for it (or turned verification on).
#include "link/CenterWidget.h"

#include "common/DifferencesDialog.h"
#include "common/FileDialog.h"
#include "common/MessageBox.h"
#include "pages/ConvertParamWidget.h"
#include "pages/DifferenceLabels.h"
#include "protocol/Configuration.h"

#include "ui_CenterWidget.h"

#include <QAction>
#include <QScopedValueRollback>

#include <memory>

void CenterWidget::createCompareTools()
{
    m_compareDeviceAction = new QAction(tr("与设备比较"), this);
    m_compareDeviceAction->setObjectName(QStringLiteral("actionCompareDevice"));
    m_compareDeviceAction->setEnabled(false);
    connect(m_compareDeviceAction, &QAction::triggered, this, &CenterWidget::compareWithDevice);
    m_compareFileAction = new QAction(tr("与文件比较"), this);
    m_compareFileAction->setObjectName(QStringLiteral("actionCompareFile"));
    connect(m_compareFileAction, &QAction::triggered, this, &CenterWidget::compareWithFile);
}

QCheckBox *CenterWidget::verifyAfterWriteBox() const
{
    return ui->m_checkBoxVerifyAfterWrite;
}

void CenterWidget::compareWithDevice()
{
    // The window's side first: a page that refuses its block has said why,
    // and the device need not be asked at all.
    Protocol::Configuration window;
    Protocol::Configuration device;
    if (isBusy() || !m_authenticated || !pagesConfiguration(&window) || !readDeviceConfiguration(&device))
        return;
    showComparison(Protocol::Configuration::differences(device, window), tr("比较"),
                   tr("设备中的配置与窗口一致。"), tr("与设备比较"), tr("设备中的值"));
}

void CenterWidget::compareWithFile()
{
    if (isBusy())
        return;
    const QString fileName = askFileName(FileDialogKind::Open, this, tr("打开配置"), tr("TXT文件(*.txt)"));
    if (fileName.isEmpty())
        return;
    Protocol::Configuration window;
    if (!pagesConfiguration(&window))
        return;
    // The file goes through the load's and the write's own rules in a
    // widget of its own, never shown, so that the window's pages stay as
    // they are. Its refusals are shown as they would be; its success is not,
    // since nothing was loaded into the window.
    const auto scratch = std::make_unique<CenterWidget>();
    if (m_convertPage->deviceType() >= 0)
        scratch->m_convertPage->setDeviceType(m_convertPage->deviceType());
    bool taken = false;
    scratch->m_quietLoadTaken = &taken;
    scratch->loadConfiguration(fileName);
    Protocol::Configuration file;
    if (!taken || !scratch->pagesConfiguration(&file))
        return;
    showComparison(Protocol::Configuration::differences(file, window), tr("比较"),
                   tr("文件中的配置与窗口一致。"), tr("与文件比较"), tr("文件中的值"));
}

void CenterWidget::finishWriteVerification()
{
    // A frame without its acknowledgement has been reported (time-out, lost
    // port): such a write is not done, and there is nothing to verify.
    if (!m_verifyingWrite || !m_unacknowledged.isEmpty() || !m_serialPort->isOpen())
        return;
    Protocol::Configuration device;
    bool read = false;
    {
        // The write's sends have all returned: the read-back is the next
        // exchange of this same command, not one started beside it.
        const QScopedValueRollback<bool> idle(m_busy, false);
        read = readDeviceConfiguration(&device);
    }
    if (!read) {
        // A time-out has been reported by the link; a reply that could not
        // be taken has not.
        if (m_readChainOk && m_serialPort->isOpen())
            showMessageBox(QMessageBox::Warning, this, tr("写入校验失败"), tr("无法读回设备中的配置。"));
        return;
    }
    showComparison(Protocol::Configuration::differences(device, m_written), tr("成功"), tr("写配置成功"),
                   tr("写入校验失败"), tr("设备中的值"));
}

void CenterWidget::showComparison(const QVector<Protocol::Difference> &found, const QString &sameTitle,
                                  const QString &sameText, const QString &listTitle,
                                  const QString &otherColumn)
{
    if (found.isEmpty())
        showMessageBox(QMessageBox::Information, this, sameTitle, sameText);
    else
        showDifferences(this, listTitle, otherColumn, DifferenceLabels::describe(found));
}
