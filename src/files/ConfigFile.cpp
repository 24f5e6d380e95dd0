// Saving and loading the configuration file: operations of the command
// side of CenterWidget.
#include "files/ConfigFile.h"

#include "common/FileDialog.h"
#include "common/MessageBox.h"
#include "link/CenterWidget.h"
#include "pages/CanMappingWidget.h"
#include "pages/CanParamWidget.h"
#include "pages/ConvertParamWidget.h"
#include "pages/ModBusWidget.h"
#include "pages/SerialParamWidget.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>

QByteArray ConfigFile::documentText(const QJsonObject &root)
{
    // The indented writer: four spaces a level, sorted keys, final newline.
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

void CenterWidget::on_SaveFilepushbutton()
{
    if (isBusy())
        return;
    saveConfiguration(askFileName(FileDialogKind::Save, this, tr("保存配置"), tr("TXT files(*.txt)")));
}

void CenterWidget::saveConfiguration(const QString &fileName)
{
    // Written to a temporary file and renamed into place, so a failed or
    // interrupted save never leaves a truncated file where a good one was.
    QSaveFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        showMessageBox(QMessageBox::Information, this, tr("错误"), tr("保存配置出错."));
        return;
    }

    file.write(ConfigFile::documentText(pagesJson()));
    if (!file.commit()) {
        showMessageBox(QMessageBox::Information, this, tr("错误"), tr("保存配置出错."));
        return;
    }
    showMessageBox(QMessageBox::Information, this, tr("成功"), tr("保存配置成功"));
}

QJsonObject CenterWidget::pagesJson() const
{
    QJsonObject root;
    root.insert(ConfigFile::ConvertParamKey, m_convertPage->toJson());
    root.insert(ConfigFile::SerialParamKey, m_serialPage->toJson());
    root.insert(ConfigFile::CanParamKey, m_canPage->toJson());
    root.insert(ConfigFile::ModBusParamKey, m_modbusPage->toJson());
    root.insert(ConfigFile::CanMapKey, m_mappingPage->toJson());
    return root;
}

void CenterWidget::on_OpenFilepushbutton()
{
    if (isBusy())
        return;
    const QString fileName = askFileName(FileDialogKind::Open, this, tr("打开配置"), tr("TXT文件(*.txt)"));
    if (fileName.isEmpty())
        return;
    loadConfiguration(fileName);
}

void CenterWidget::loadConfiguration(const QString &fileName)
{
    const auto refuse = [this](const QString &text) {
        showMessageBox(QMessageBox::Warning, this, tr("失败"), text, QMessageBox::Yes);
    };

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        refuse(tr("打开配置文件失败.") + file.errorString());
        return;
    }
    if (file.size() > ConfigFile::MaxFileSize) {
        refuse(tr("解析配置文件失败.") + tr("文件过大"));
        return;
    }
    const QByteArray text = file.readAll();
    file.close();

    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (document.isNull() || error.error != QJsonParseError::NoError) {
        refuse(tr("解析配置文件失败.") + error.errorString());
        return;
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || !root.contains(ConfigFile::CanMapKey) || !root.contains(ConfigFile::CanParamKey) ||
        !root.contains(ConfigFile::ConvertParamKey) || !root.contains(ConfigFile::ModBusParamKey) ||
        !root.contains(ConfigFile::SerialParamKey)) {
        refuse(tr("解析配置文件失败."));
        return;
    }

    // A member that is not an object reaches its page as an empty one.
    const QJsonObject convert = root.value(ConfigFile::ConvertParamKey).toObject();
    m_convertPage->fromJson(convert);
    m_serialPage->fromJson(root.value(ConfigFile::SerialParamKey).toObject());
    m_canPage->fromJson(root.value(ConfigFile::CanParamKey).toObject());
    m_modbusPage->fromJson(root.value(ConfigFile::ModBusParamKey).toObject());
    m_mappingPage->fromJson(root.value(ConfigFile::CanMapKey).toObject());
    m_mappingPage->applyCanMode(m_canPage->canMode());
    // The identifier's place was limited by the CAN settings the pages held
    // before the file's reached the CAN page: limit it by the file's own, as
    // a read does, and take it from the file again.
    m_convertPage->setOffsetMaximum(m_canPage->canMode());
    m_convertPage->setIdLengthMaximum(m_canPage->frameTypeIndex());
    m_convertPage->applyIdPlace(convert);

    if (m_quietLoadTaken) {
        *m_quietLoadTaken = true;
        return;
    }
    showMessageBox(QMessageBox::Information, this, tr("提示"), tr("读取成功"));
}
