#include "pages/ConvertParamWidget.h"

#include "pages/TableCells.h"

#include "ui_ConvertParamWidget.h"

#include <QCoreApplication>
#include <QStandardItemModel>
#include <cstddef>

namespace {

// Mode list positions; the block's mode numbers are these + 1.
constexpr int kModeTransparent = 0;
constexpr int kModeTransparentWithId = 1;
constexpr int kModeFormat = 2;
constexpr int kModeModbusConvert = Protocol::ConversionBlock::kModeModbus - 1;
constexpr int kModeModbusSlave = Protocol::ConversionBlock::kModeModbusSlave - 1;

// Device type codes on which the Modbus slave mode is not offered.
bool lacksModbusSlave(int typeCode) { return typeCode == 0 || typeCode == 2; }

// List entries share the form's translation context with its captions.
const char *const kModeTexts[] = {
    QT_TRANSLATE_NOOP("ConvertParamWidgetClass", "透明转换"), QT_TRANSLATE_NOOP("ConvertParamWidgetClass", "透明带标识转换"),
    QT_TRANSLATE_NOOP("ConvertParamWidgetClass", "格式转换"), QT_TRANSLATE_NOOP("ConvertParamWidgetClass", "MODBUS转换"),
    QT_TRANSLATE_NOOP("ConvertParamWidgetClass", "MODBUS从站")};
const char *const kDirectionTexts[] = {QT_TRANSLATE_NOOP("ConvertParamWidgetClass", "双向"),
                                       QT_TRANSLATE_NOOP("ConvertParamWidgetClass", "仅串口到CAN"),
                                       QT_TRANSLATE_NOOP("ConvertParamWidgetClass", "仅CAN到串口")};

template <std::size_t N> void addFormItems(QComboBox *list, const char *const (&texts)[N])
{
    for (const char *text : texts)
        list->addItem(QCoreApplication::translate("ConvertParamWidgetClass", text));
}

// A partly checked box (from a file) counts as set.
bool flagOf(const QCheckBox *box)
{
    return box->checkState() != Qt::Unchecked;
}

// Every read sets both maxima. Setting one, even unchanged, makes the spin
// box ask its layout again, and the whole tab area is then laid out and
// repainted: only a new maximum is set.
void setSpinMaximum(QSpinBox *box, int maximum)
{
    if (box->maximum() != maximum)
        box->setMaximum(maximum);
}

// A value for the page to show, a reply's or one a mode fixes. Setting a
// spin box's value repaints it even when nothing changes; one that already
// shows exactly this value, as text too (nothing half typed), is left alone.
void showSpinValue(QSpinBox *box, int value)
{
    // As QSpinBox writes a value; any other text gets the value set.
    QString shown = box->locale().toString(value);
    if (!box->isGroupSeparatorShown())
        shown.remove(box->locale().groupSeparator());
    if (box->value() == value && box->text() == box->prefix() + shown + box->suffix())
        return;
    box->setValue(value);
}

} // namespace

ConvertParamWidget::ConvertParamWidget(QByteArray *replyBuffer, QWidget *parent)
    : QWidget(parent), ui(new Ui::ConvertParamWidgetClass), replyBuffer(replyBuffer)
{
    ui->setupUi(this);
    fillLists();
    // Connected only now, so filling the lists announces nothing.
    connect(ui->m_comboBoxConvertModel, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ConvertParamWidget::comboBoxConvertModelIndexChanged);
}

ConvertParamWidget::~ConvertParamWidget() { delete ui; }

void ConvertParamWidget::fillLists()
{
    addFormItems(ui->m_comboBoxConvertModel, kModeTexts);
    addFormItems(ui->m_comboBoxConvertDirection, kDirectionTexts);
}

Protocol::ConversionBlock ConvertParamWidget::block() const
{
    Protocol::ConversionBlock block;
    block.mode = static_cast<quint8>(ui->m_comboBoxConvertModel->currentIndex() + 1);
    // No direction chosen goes out as 0xFF, the low byte of index -1.
    block.direction = static_cast<quint8>(ui->m_comboBoxConvertDirection->currentIndex());
    block.serialInterval = static_cast<quint16>(ui->m_spinBoxTimeInterval->value());
    block.forwardInfo = flagOf(ui->checkBox);
    block.forwardId = flagOf(ui->checkBox_2);
    block.idLength = static_cast<quint8>(ui->m_spinBoxCanIdLen->value());
    block.startOffset = static_cast<quint8>(ui->m_spinBoxStartOffset->value());
    block.canInterval = static_cast<quint16>(ui->spinBox_5->value());
    return block;
}

void ConvertParamWidget::writeBlock(QByteArray &frame) const
{
    block().encode(frame);
}

void ConvertParamWidget::readBlock()
{
    if (replyBuffer)
        showBlock(Protocol::ConversionBlock::decode(*replyBuffer));
}

void ConvertParamWidget::showBlock(const Protocol::ConversionBlock &block)
{
    const int position = block.mode - 1;

    // Clearing first makes the rules of the reply's mode run even when that
    // mode is already shown; the reply's own values below then win.
    ui->m_comboBoxConvertModel->setCurrentIndex(-1);
    ui->m_comboBoxConvertModel->setCurrentIndex(position);
    if (position > kModeModbusConvert)
        emit signalCanMappingEnable(true);

    ui->m_comboBoxConvertDirection->setCurrentIndex(block.direction);
    showSpinValue(ui->m_spinBoxTimeInterval, block.serialInterval);
    ui->checkBox->setChecked(block.forwardInfo);
    ui->checkBox_2->setChecked(block.forwardId);
    showSpinValue(ui->m_spinBoxCanIdLen, block.idLength);
    showSpinValue(ui->m_spinBoxStartOffset, block.startOffset);
    showSpinValue(ui->spinBox_5, block.canInterval);
}

QJsonObject ConvertParamWidget::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("convertMode"), ui->m_comboBoxConvertModel->currentIndex());
    object.insert(QStringLiteral("convertDirect"), ui->m_comboBoxConvertDirection->currentIndex());
    object.insert(QStringLiteral("forwardInfo"), static_cast<int>(ui->checkBox->checkState()));
    object.insert(QStringLiteral("forwartID"), static_cast<int>(ui->checkBox_2->checkState()));
    object.insert(QStringLiteral("posOffset"), ui->m_spinBoxStartOffset->value());
    object.insert(QStringLiteral("len"), ui->m_spinBoxCanIdLen->value());
    object.insert(QStringLiteral("interval"), ui->m_spinBoxTimeInterval->value());
    object.insert(QStringLiteral("intervalCAN"), ui->spinBox_5->value());
    return object;
}

void ConvertParamWidget::fromJson(const QJsonObject &object)
{
    auto number = [&object](const char *key) { return object.value(QLatin1String(key)).toInt(0); };
    ui->m_comboBoxConvertModel->setCurrentIndex(number("convertMode"));
    ui->m_comboBoxConvertDirection->setCurrentIndex(number("convertDirect"));
    ui->checkBox->setCheckState(checkStateFromNumber(number("forwardInfo")));
    ui->checkBox_2->setCheckState(checkStateFromNumber(number("forwartID")));
    applyIdPlace(object);
    ui->m_spinBoxTimeInterval->setValue(number("interval"));
    ui->spinBox_5->setValue(number("intervalCAN"));
}

void ConvertParamWidget::applyIdPlace(const QJsonObject &object)
{
    ui->m_spinBoxStartOffset->setValue(object.value(QLatin1String("posOffset")).toInt(0));
    ui->m_spinBoxCanIdLen->setValue(object.value(QLatin1String("len")).toInt(0));
}

int ConvertParamWidget::convertModeIndex() const { return ui->m_comboBoxConvertModel->currentIndex(); }

void ConvertParamWidget::setOffsetMaximum(int protocol)
{
    // A CAN FD frame is up to 64 bytes long, a classic one 8.
    setSpinMaximum(ui->m_spinBoxStartOffset, protocol != 0 ? 63 : 7);
}

void ConvertParamWidget::setIdLengthMaximum(int frameType)
{
    // An extended identifier needs four bytes, a standard one two.
    setSpinMaximum(ui->m_spinBoxCanIdLen, frameType != 0 ? 4 : 2);
}

void ConvertParamWidget::setDeviceType(int typeCode)
{
    m_deviceType = typeCode;
    auto *model = qobject_cast<QStandardItemModel *>(ui->m_comboBoxConvertModel->model());
    if (!model)
        return;
    if (QStandardItem *item = model->item(kModeModbusSlave))
        item->setEnabled(!lacksModbusSlave(typeCode));
}

void ConvertParamWidget::comboBoxConvertModelIndexChanged(int index)
{
    if (index >= kModeFormat && index <= kModeModbusSlave)
        applyFixedFrameMode(index);
    else
        applyFreeMode(index);
}

// Format and Modbus modes fix the serial frame layout themselves, so the
// identifier options are forced to neutral values and locked.
void ConvertParamWidget::applyFixedFrameMode(int index)
{
    ui->checkBox->setEnabled(false);
    ui->checkBox_2->setEnabled(false);
    ui->m_spinBoxStartOffset->setEnabled(false);
    ui->m_spinBoxCanIdLen->setEnabled(false);
    ui->checkBox->setChecked(false);
    ui->checkBox_2->setChecked(false);
    showSpinValue(ui->m_spinBoxStartOffset, 0);
    showSpinValue(ui->m_spinBoxCanIdLen, 1);
    showSpinValue(ui->m_spinBoxTimeInterval, 2);
    emit Changemode(4);
    ui->m_spinBoxTimeInterval->setEnabled(index != kModeModbusSlave);
    emit signalCanMappingEnable(index == kModeModbusSlave);
    ui->spinBox_5->setEnabled(index == kModeModbusConvert);
}

// Transparent modes (and no selection): the user chooses the frame options;
// in the identifier mode the identifier position replaces the check boxes.
void ConvertParamWidget::applyFreeMode(int index)
{
    if (index == kModeTransparent || index == kModeTransparentWithId) {
        const bool withId = index == kModeTransparentWithId;
        ui->checkBox->setEnabled(!withId);
        ui->checkBox_2->setEnabled(!withId);
        ui->m_spinBoxStartOffset->setEnabled(withId);
        ui->m_spinBoxCanIdLen->setEnabled(withId);
    }
    ui->m_spinBoxTimeInterval->setEnabled(true);
    emit signalCanMappingEnable(false);
    ui->spinBox_5->setEnabled(true);
}
