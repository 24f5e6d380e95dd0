#include "pages/SerialParamWidget.h"

#include "link/LinkLog.h"
#include "protocol/ByteFields.h"
#include "ui_SerialParamWidget.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// Serial mode codes (mode list positions).
constexpr int kModeRs232 = 0;
constexpr int kFirstDualMode = 3;

// Frame offsets.
constexpr int kOffRs232Slot = 3;
constexpr int kOffMode = 13;
constexpr int kOffRs485Slot = 59;
constexpr int kOffReserved = 69;
constexpr int kReservedLength = 8;

// Offsets inside a parameter slot.
constexpr int kSlotBaud = 0;
constexpr int kSlotDataBits = 4;
constexpr int kSlotStopBits = 6;
constexpr int kSlotParity = 8;

bool isDualModeText(const QString &text)
{
    return text == QLatin1String("RS232+RS485") || text == QLatin1String("RS232+RS422");
}

// An empty or unreadable text (no selection) goes out as 0.
quint32 decimalOf(const QComboBox *list) { return list->currentText().toUInt(); }

void selectText(QComboBox *list, quint32 value) { list->setCurrentIndex(list->findText(QString::number(value))); }

} // namespace

SerialParamWidget::SerialParamWidget(QByteArray *replyBuffer, QWidget *parent)
    : QWidget(parent), ui(new Ui::SerialParamWidgetClass), replyBuffer(replyBuffer)
{
    ui->setupUi(this);
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

void SerialParamWidget::writeBlock(QByteArray &frame) const
{
    const int mode = ui->comboBox->currentIndex();
    if (mode >= 0) {
        putByte(frame, kOffMode, static_cast<quint8>(mode));
        putByte(frame, kOffMode + 1, 0);
        // Single RS485/RS422 modes describe that port with the first group.
        const bool rs485Only = mode > kModeRs232 && mode < kFirstDualMode;
        writeSlot(frame, rs485Only ? kOffRs485Slot : kOffRs232Slot, firstGroup());
        if (mode >= kFirstDualMode)
            writeSlot(frame, kOffRs485Slot, secondGroup());
    }
    for (int i = 0; i < kReservedLength; ++i)
        putByte(frame, kOffReserved + i, 0);
    qCDebug(lcLink).noquote() << hexDump(frame);
}

void SerialParamWidget::writeSlot(QByteArray &frame, int slotOffset, const ParamGroup &group)
{
    putBe32(frame, slotOffset + kSlotBaud, decimalOf(group.baudRate));
    putByte(frame, slotOffset + kSlotDataBits, static_cast<quint8>(decimalOf(group.dataBits)));
    putByte(frame, slotOffset + kSlotDataBits + 1, 0);
    putByte(frame, slotOffset + kSlotStopBits, static_cast<quint8>(decimalOf(group.stopBits)));
    putByte(frame, slotOffset + kSlotStopBits + 1, 0);
    // No selection goes out as 0xFF, the low byte of index -1, as it always has.
    putByte(frame, slotOffset + kSlotParity, static_cast<quint8>(group.parity->currentIndex()));
    putByte(frame, slotOffset + kSlotParity + 1, 0);
}

void SerialParamWidget::readBlock()
{
    if (!replyBuffer)
        return;
    const QByteArray &reply = *replyBuffer;
    const int mode = byteAt(reply, kOffMode);
    ui->comboBox->setCurrentIndex(mode);
    if (mode >= kFirstDualMode) {
        readSlot(reply, kOffRs232Slot, firstGroup());
        readSlot(reply, kOffRs485Slot, secondGroup());
    } else {
        readSlot(reply, mode == kModeRs232 ? kOffRs232Slot : kOffRs485Slot, firstGroup());
    }
}

void SerialParamWidget::readSlot(const QByteArray &reply, int slotOffset, const ParamGroup &group)
{
    selectText(group.baudRate, be32At(reply, slotOffset + kSlotBaud));
    selectText(group.dataBits, byteAt(reply, slotOffset + kSlotDataBits));
    selectText(group.stopBits, byteAt(reply, slotOffset + kSlotStopBits));
    group.parity->setCurrentIndex(byteAt(reply, slotOffset + kSlotParity));
}

QJsonObject SerialParamWidget::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("SerialMode"), ui->comboBox->currentIndex());
    groupToJson(object, firstGroup(), QString());
    if (ui->comboBox->currentIndex() >= kFirstDualMode)
        groupToJson(object, secondGroup(), QStringLiteral("_2"));
    return object;
}

void SerialParamWidget::fromJson(const QJsonObject &object)
{
    const int mode = object.value(QLatin1String("SerialMode")).toInt(0);
    ui->comboBox->setCurrentIndex(mode);
    groupFromJson(object, firstGroup(), QString());
    if (mode >= kFirstDualMode)
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
    const bool dual = isDualModeText(modeText);
    ui->groupBox_2->setEnabled(dual);
    if (dual) {
        const QStringList ports = modeText.split(QLatin1Char('+'), Qt::KeepEmptyParts, Qt::CaseSensitive);
        ui->groupBox->setTitle(ports.value(0));
        ui->groupBox_2->setTitle(ports.value(1));
    } else {
        ui->groupBox_2->setTitle(QString());
    }
}
