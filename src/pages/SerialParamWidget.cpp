#include "pages/SerialParamWidget.h"

#include "common/LinkLog.h"
#include "pages/TableColumns.h"
#include "protocol/ByteFields.h"
#include "ui_SerialParamWidget.h"

#include <QCoreApplication>
#include <QStringList>

using Protocol::SerialBlock;

namespace {

// An empty or unreadable text (no selection) goes out as 0.
quint32 decimalOf(const QComboBox *list) { return list->currentText().toUInt(); }

void selectText(QComboBox *list, quint32 value) { list->setCurrentIndex(list->findText(QString::number(value))); }

} // namespace

SerialParamWidget::SerialParamWidget(QByteArray *replyBuffer, QWidget *parent)
    : QWidget(parent), ui(new Ui::SerialParamWidgetClass), replyBuffer(replyBuffer)
{
    ui->setupUi(this);
    fitLabelsToText(this);
    connect(ui->comboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { on_ComboxChangeCurrent(ui->comboBox->itemText(index)); });
    ui->groupBox_2->setEnabled(false);
    on_ComboxChangeCurrent(ui->comboBox->currentText());
    // The first entry added becomes current: these are the defaults.
    fillLists();
}

SerialParamWidget::~SerialParamWidget() { delete ui; }

SerialParamWidget::ParamGroup SerialParamWidget::firstGroup() const
{
    return {ui->m_comboBoxBaudRate_2, ui->m_comboBoxDataBit_2, ui->m_comboBoxStopBit_2, ui->m_comboBoxParity_2};
}

SerialParamWidget::ParamGroup SerialParamWidget::secondGroup() const
{
    return {ui->m_comboBoxBaudRate_3, ui->m_comboBoxDataBit_3, ui->m_comboBoxStopBit_3, ui->m_comboBoxParity_3};
}

void SerialParamWidget::fillLists()
{
    const QStringList bauds{QStringLiteral("1200"),   QStringLiteral("2400"),   QStringLiteral("4800"),
                            QStringLiteral("9600"),   QStringLiteral("14400"),  QStringLiteral("19200"),
                            QStringLiteral("38400"),  QStringLiteral("57600"),  QStringLiteral("115200"),
                            QStringLiteral("230400"), QStringLiteral("460800"), QStringLiteral("921600")};
    const QStringList dataBits{QStringLiteral("8"), QStringLiteral("9")};
    const QStringList stopBits{QStringLiteral("1"), QStringLiteral("2")};
    // Same translation context as the form's own captions.
    static const char *const parityTexts[] = {QT_TRANSLATE_NOOP("SerialParamWidgetClass", "无校验"),
                                              QT_TRANSLATE_NOOP("SerialParamWidgetClass", "奇校验"),
                                              QT_TRANSLATE_NOOP("SerialParamWidgetClass", "偶校验")};
    QStringList parities;
    for (const char *text : parityTexts)
        parities << QCoreApplication::translate("SerialParamWidgetClass", text);

    const ParamGroup first = firstGroup();
    const ParamGroup second = secondGroup();
    second.baudRate->addItems(bauds);
    first.baudRate->addItems(bauds);
    for (const ParamGroup &group : {first, second}) {
        group.dataBits->addItems(dataBits);
        group.stopBits->addItems(stopBits);
        group.parity->addItems(parities);
    }
}

std::optional<SerialBlock> SerialParamWidget::block() const
{
    const int mode = ui->comboBox->currentIndex();
    if (mode < 0)
        return std::nullopt;
    SerialBlock block;
    block.mode = static_cast<quint8>(mode);
    // Single RS485/RS422 modes describe that port with the first group. A
    // slot no group fills goes out as zeros.
    const Protocol::SerialPortSlot shown = slotOf(firstGroup());
    if (SerialBlock::singlePortInSecondSlot(mode))
        block.second = shown;
    else
        block.first = shown;
    if (SerialBlock::isDualMode(mode))
        block.second = slotOf(secondGroup());
    return block;
}

void SerialParamWidget::writeBlock(QByteArray &frame) const
{
    if (const std::optional<SerialBlock> shown = block())
        shown->encode(frame);
    else
        SerialBlock::encodeReservedOnly(frame);
    qCDebug(lcLink).noquote() << hexDump(frame);
}

Protocol::SerialPortSlot SerialParamWidget::slotOf(const ParamGroup &group)
{
    Protocol::SerialPortSlot slot;
    slot.baudRate = decimalOf(group.baudRate);
    slot.dataBits = static_cast<quint8>(decimalOf(group.dataBits));
    slot.stopBits = static_cast<quint8>(decimalOf(group.stopBits));
    // No selection goes out as 0xFF, the low byte of index -1, as it always has.
    slot.parity = static_cast<quint8>(group.parity->currentIndex());
    return slot;
}

void SerialParamWidget::readBlock()
{
    if (!replyBuffer)
        return;
    const SerialBlock block = SerialBlock::decode(*replyBuffer);
    ui->comboBox->setCurrentIndex(block.mode);
    if (SerialBlock::isDualMode(block.mode)) {
        showSlot(block.first, firstGroup());
        showSlot(block.second, secondGroup());
    } else {
        showSlot(SerialBlock::singlePortInSecondSlot(block.mode) ? block.second : block.first, firstGroup());
    }
}

void SerialParamWidget::showSlot(const Protocol::SerialPortSlot &slot, const ParamGroup &group)
{
    selectText(group.baudRate, slot.baudRate);
    selectText(group.dataBits, slot.dataBits);
    selectText(group.stopBits, slot.stopBits);
    group.parity->setCurrentIndex(slot.parity);
}

QJsonObject SerialParamWidget::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("SerialMode"), ui->comboBox->currentIndex());
    groupToJson(object, firstGroup(), QString());
    if (SerialBlock::isDualMode(ui->comboBox->currentIndex()))
        groupToJson(object, secondGroup(), QStringLiteral("_2"));
    return object;
}

void SerialParamWidget::fromJson(const QJsonObject &object)
{
    const int mode = object.value(QLatin1String("SerialMode")).toInt(0);
    ui->comboBox->setCurrentIndex(mode);
    groupFromJson(object, firstGroup(), QString());
    if (SerialBlock::isDualMode(mode))
        groupFromJson(object, secondGroup(), QStringLiteral("_2"));
}

void SerialParamWidget::groupToJson(QJsonObject &object, const ParamGroup &group, const QString &suffix)
{
    object.insert(QLatin1String("Baudrate") + suffix, group.baudRate->currentIndex());
    object.insert(QLatin1String("dataBit") + suffix, group.dataBits->currentIndex());
    object.insert(QLatin1String("stopBit") + suffix, group.stopBits->currentIndex());
    object.insert(QLatin1String("oddEvenCheck") + suffix, group.parity->currentIndex());
}

void SerialParamWidget::groupFromJson(const QJsonObject &object, const ParamGroup &group, const QString &suffix)
{
    auto index = [&](const char *key) { return object.value(QLatin1String(key) + suffix).toInt(0); };
    group.baudRate->setCurrentIndex(index("Baudrate"));
    group.dataBits->setCurrentIndex(index("dataBit"));
    group.stopBits->setCurrentIndex(index("stopBit"));
    group.parity->setCurrentIndex(index("oddEvenCheck"));
}

void SerialParamWidget::on_ComboxChangeCurrent(const QString &modeText)
{
    ui->groupBox->setTitle(modeText);
    // The entry's position decides; only the titles come from its text.
    const bool dual = SerialBlock::isDualMode(ui->comboBox->findText(modeText));
    ui->groupBox_2->setEnabled(dual);
    if (dual) {
        const QStringList ports = modeText.split(QLatin1Char('+'), Qt::KeepEmptyParts, Qt::CaseSensitive);
        ui->groupBox->setTitle(ports.value(0));
        ui->groupBox_2->setTitle(ports.value(1));
    } else {
        ui->groupBox_2->setTitle(QString());
    }
}
