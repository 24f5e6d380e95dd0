#include "pages/ModBusWidget.h"

#include "common/MessageBox.h"
#include "pages/CanIdEdit.h"
#include "pages/TableCells.h"
#include "pages/TableColumns.h"
#include "protocol/ByteFields.h"
#include "protocol/CanRules.h"
#include "ui_ModBusWidget.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScopedPointer>

using Protocol::ModbusBlock;

namespace {

// Eight bytes, the most a classic frame carries, by default.
constexpr int kDefaultLengthIndex = ModbusBlock::lengthIndex(Protocol::kClassicMaxLength);
constexpr int kMinInterval = 1;
constexpr int kMaxInterval = 65535;

const QString kDefaultInterval = QStringLiteral("1000");
const QString kDefaultCanId = QStringLiteral("00 00 00 00");
const QString kDefaultData = QStringLiteral("00 00 00 00 00 00 00 00");
const QString kDefaultAddress = QStringLiteral("01");
const QString kPadPiece = QStringLiteral("00");

const QString kKeyType = QStringLiteral("Type");
const QString kKeyHeartEnable = QStringLiteral("heartEnable");
const QString kKeyInterval = QStringLiteral("interval");
const QString kKeyFrameFormat = QStringLiteral("frameFormat");
const QString kKeyFrameType = QStringLiteral("frameType");
const QString kKeyDataLen = QStringLiteral("dataLen");
const QString kKeyCanId = QStringLiteral("CANID");
const QString kKeyData = QStringLiteral("Data");
const QString kKeyAddr = QStringLiteral("Addr");

// ASCII only: QChar::isDigit would also let full-width and other script
// digits through, which no hex parser accepts.
bool isHexDigit(QChar c)
{
    const char l = c.toLatin1();
    return (l >= '0' && l <= '9') || (l >= 'a' && l <= 'f') || (l >= 'A' && l <= 'F');
}

QString hexByte(quint8 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

// An index that names no entry (a damaged file, an unknown reply byte)
// falls back to the first entry instead of leaving the list without a
// selection, which would send -1 shifted into the flags.
void selectIndex(QComboBox *box, int index)
{
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0);
}

quint32 parseHex(const QString &text)
{
    return text.toUInt(nullptr, 16);
}

} // namespace

ModBusWidget::ModBusWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::ModBusWidgetClass)
{
    ui->setupUi(this);
    fitLabelsToText(this);
    connect(ui->m_lineEditCanID, &QLineEdit::textChanged, this, &ModBusWidget::onTextChanged);
    connect(ui->m_comboBoxFrameType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ModBusWidget::onCurrenttextChange);
    connect(ui->m_ComboBoxHeartEnable, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ModBusWidget::onM_ComboBoxHeartEnable);
    connect(ui->comboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ModBusWidget::oncomboBoxChange);
    connect(ui->m_lineEditTimeInterval, &QLineEdit::textChanged, this, &ModBusWidget::onTimeTextChanged);
    connect(ui->m_comboBoxFrameFormat, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ModBusWidget::comboBoxFrameFormat);

    // Adding the first item of each list selects it, which runs its rule
    // and leaves the heartbeat controls in their "off" state.
    addChoiceItems();

    connect(ui->comboBox_2, &QComboBox::currentTextChanged, this, &ModBusWidget::on_changecomboBox_2);
    ui->comboBox_2->setCurrentIndex(kDefaultLengthIndex);

    ui->m_lineEditRegAddr_2->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[0-9A-Fa-f]{1,2}$")), this));

    ui->m_textEdit->installEventFilter(this);
    ui->m_textEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    // Drops and the menu's paste would bypass the hex filter of the keyboard.
    ui->m_textEdit->setAcceptDrops(false);
    ui->m_textEdit->viewport()->setAcceptDrops(false);
    ui->m_textEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->m_textEdit, &QWidget::customContextMenuRequested, this, &ModBusWidget::showDataMenu);
}

ModBusWidget::~ModBusWidget()
{
    delete ui;
}

void ModBusWidget::addChoiceItems()
{
    ui->m_comboBoxFrameFormat->addItem(tr("数据帧"));
    ui->m_comboBoxFrameFormat->addItem(tr("远程帧"));
    ui->m_comboBoxFrameType->addItem(tr("标准帧"));
    ui->m_comboBoxFrameType->addItem(tr("扩展帧"));
    ui->m_ComboBoxHeartEnable->addItem(tr("禁用"));
    ui->m_ComboBoxHeartEnable->addItem(tr("启用"));
}

ModbusBlock ModBusWidget::block() const
{
    ModbusBlock block;
    block.address = static_cast<quint8>(parseHex(ui->m_lineEditRegAddr_2->text()));
    block.heartbeat = static_cast<quint8>(ui->m_ComboBoxHeartEnable->currentIndex());
    block.interval = static_cast<quint16>(ui->m_lineEditTimeInterval->text().toInt());
    block.flags = flagsByte();
    const int length = dataLength();
    block.length = static_cast<quint8>(length);
    block.canId = parseHex(ui->m_lineEditCanID->text());
    const QStringList pieces = dataPieces(length);
    for (int i = 0; i < length; ++i)
        block.data[i] = static_cast<quint8>(parseHex(pieces.at(i)));
    return block;
}

void ModBusWidget::writeBlock(QByteArray &frame) const
{
    block().encode(frame);
}

quint8 ModBusWidget::flagsByte() const
{
    quint8 flags = Protocol::protocolFlags(ui->comboBox->currentIndex());
    if (ui->m_comboBoxFrameType->currentIndex() == 1)
        flags |= Protocol::kFlagExtended;
    if (ui->m_comboBoxFrameFormat->currentIndex() == 1)
        flags |= Protocol::kFlagRemote;
    return flags;
}

// By list position, so that no translation of the list can change a byte.
int ModBusWidget::dataLength() const
{
    return ModbusBlock::lengthAt(ui->comboBox_2->currentIndex());
}

// The data text in two-digit pieces, padded with "00" up to length. All
// white space goes, not only spaces: Return and Tab reach the editor, and a
// line break left inside a piece would silently turn that byte into 0.
QStringList ModBusWidget::dataPieces(int length) const
{
    QString digits = ui->m_textEdit->toPlainText();
    digits.remove(QRegularExpression(QStringLiteral("\\s")));
    QStringList pieces;
    for (int i = 0; i < digits.size(); i += 2)
        pieces << digits.mid(i, 2);
    while (pieces.size() < length)
        pieces << kPadPiece;
    return pieces;
}

void ModBusWidget::readBlock(const QByteArray &frame)
{
    const ModbusBlock block = ModbusBlock::decode(frame);
    ui->m_lineEditRegAddr_2->setText(hexByte(block.address));
    selectIndex(ui->m_ComboBoxHeartEnable, block.heartbeat);
    ui->m_lineEditTimeInterval->setText(QString::number(block.interval));
    applyFlags(block.flags);

    const int lengthIndex = ModbusBlock::lengthIndex(block.length);
    if (lengthIndex >= 0)
        ui->comboBox_2->setCurrentIndex(lengthIndex);
    ui->m_lineEditCanID->setText(compactHexId(block.canId));

    QStringList bytes;
    const int length = dataLength();
    for (int i = 0; i < length; ++i)
        bytes << hexByte(block.data[i]);
    ui->m_textEdit->setPlainText(bytes.join(QLatin1Char(' ')));
}

void ModBusWidget::applyFlags(quint8 flags)
{
    // A bit-rate switch without CAN FD is never written; it leaves the list alone.
    if ((flags & Protocol::kFlagFd) || !(flags & Protocol::kFlagBitRateSwitch))
        ui->comboBox->setCurrentIndex(Protocol::protocolOf(flags));
    ui->m_comboBoxFrameType->setCurrentIndex(flags & Protocol::kFlagExtended ? 1 : 0);
    ui->m_comboBoxFrameFormat->setCurrentIndex(flags & Protocol::kFlagRemote ? 1 : 0);
}

void ModBusWidget::loadDefaults()
{
    ui->comboBox->setCurrentIndex(Protocol::ProtocolCan);
    ui->m_ComboBoxHeartEnable->setCurrentIndex(0);
    ui->m_lineEditTimeInterval->setText(kDefaultInterval);
    ui->m_comboBoxFrameFormat->setCurrentIndex(0);
    ui->m_comboBoxFrameType->setCurrentIndex(0);
    ui->m_lineEditCanID->setText(kDefaultCanId);
    ui->comboBox_2->setCurrentIndex(kDefaultLengthIndex);
    ui->m_textEdit->setPlainText(kDefaultData);
    ui->m_lineEditRegAddr_2->setText(kDefaultAddress);
}

QJsonObject ModBusWidget::toJson() const
{
    QJsonObject object;
    object.insert(kKeyType, ui->comboBox->currentIndex());
    object.insert(kKeyHeartEnable, ui->m_ComboBoxHeartEnable->currentIndex());
    object.insert(kKeyInterval, ui->m_lineEditTimeInterval->text());
    object.insert(kKeyFrameFormat, ui->m_comboBoxFrameFormat->currentIndex());
    object.insert(kKeyFrameType, ui->m_comboBoxFrameType->currentIndex());
    object.insert(kKeyDataLen, ui->comboBox_2->currentIndex());
    object.insert(kKeyCanId, ui->m_lineEditCanID->text());
    object.insert(kKeyData, ui->m_textEdit->toPlainText());
    object.insert(kKeyAddr, ui->m_lineEditRegAddr_2->text());
    return object;
}

void ModBusWidget::fromJson(const QJsonObject &object)
{
    selectIndex(ui->comboBox, object.value(kKeyType).toInt());
    selectIndex(ui->m_ComboBoxHeartEnable, object.value(kKeyHeartEnable).toInt());
    ui->m_lineEditTimeInterval->setText(object.value(kKeyInterval).toString());
    selectIndex(ui->m_comboBoxFrameFormat, object.value(kKeyFrameFormat).toInt());
    selectIndex(ui->m_comboBoxFrameType, object.value(kKeyFrameType).toInt());
    selectIndex(ui->comboBox_2, object.value(kKeyDataLen).toInt());
    ui->m_lineEditCanID->setText(object.value(kKeyCanId).toString());
    ui->m_textEdit->setPlainText(object.value(kKeyData).toString());
    ui->m_lineEditRegAddr_2->setText(object.value(kKeyAddr).toString());
    // The remote frame's rule ran above only if the page showed a data frame
    // before: run it now, so a remote frame gets "CAN" and the lengths it
    // allows whatever the page held.
    if (ui->m_comboBoxFrameFormat->currentIndex() != 0) {
        comboBoxFrameFormat(ui->m_comboBoxFrameFormat->currentIndex());
        oncomboBoxChange(ui->comboBox->currentIndex());
    }
}

void ModBusWidget::on_changecomboBox_2(const QString &text)
{
    const int length = ModbusBlock::lengthAt(ui->comboBox_2->findText(text));
    if (length <= 0) {
        ui->m_textEdit->clear();
        return;
    }
    const QStringList parts = ui->m_textEdit->toPlainText().trimmed().split(
        QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QStringList kept;
    for (int i = 0; i < qMin(length, parts.size()); ++i) {
        const QString &part = parts.at(i);
        kept << (part.size() == 2 && isHexDigit(part.at(0)) && isHexDigit(part.at(1)) ? part : kPadPiece);
    }
    while (kept.size() < length)
        kept << kPadPiece;
    ui->m_textEdit->setPlainText(kept.join(QLatin1Char(' ')));
}

void ModBusWidget::onTextChanged(const QString &text)
{
    // Wider than the field so that an overlong text from a file still
    // counts as out of range instead of reading as 0.
    const qulonglong value = text.toULongLong(nullptr, 16);
    const int frameType = ui->m_comboBoxFrameType->currentIndex();
    if (frameType == 0 && value > Protocol::kMaxStandardId)
        showRangeError(ui->m_lineEditCanID, QStringLiteral("0x00-0x7ff"));
    else if (frameType == 1 && value > Protocol::kMaxExtendedId)
        showRangeError(ui->m_lineEditCanID, QStringLiteral("0x00-0x1fffffff"));
}

void ModBusWidget::onTimeTextChanged(const QString &text)
{
    if (text.isEmpty())
        return;
    const int value = text.toInt();
    if (value < kMinInterval || value > kMaxInterval)
        showRangeError(ui->m_lineEditTimeInterval, QStringLiteral("1-65535"));
}

void ModBusWidget::showRangeError(QLineEdit *edit, const QString &range)
{
    showMessageBox(QMessageBox::Information, this, tr("输入错误"), tr("请输入有效值: %1").arg(range));
    edit->undo();
}

void ModBusWidget::onCurrenttextChange(int index)
{
    if (index == 0 && parseHex(ui->m_lineEditCanID->text()) > Protocol::kMaxStandardId) {
        ui->m_lineEditCanID->setText(kPadPiece);
        ui->m_lineEditCanID->setCursorPosition(0);
    }
    setCanIdPattern(ui->m_lineEditCanID, index != 0);
}

void ModBusWidget::onM_ComboBoxHeartEnable(int index)
{
    const bool on = index != 0;
    ui->m_ComboBoxHeartEnable->setEnabled(true);
    const QList<QWidget *> controls{ui->m_lineEditTimeInterval, ui->m_comboBoxFrameFormat,
                                    ui->m_comboBoxFrameType,    ui->comboBox_2,
                                    ui->m_lineEditCanID,        ui->m_textEdit};
    for (QWidget *control : controls)
        control->setEnabled(on);
    updateProtocolEnabled();
}

void ModBusWidget::comboBoxFrameFormat(int index)
{
    if (index != 0)
        ui->comboBox->setCurrentIndex(Protocol::ProtocolCan);
    updateProtocolEnabled();
}

// A remote frame exists only in classic CAN, so the protocol list stays
// locked while one is chosen, also when the heartbeat is switched back on;
// with the heartbeat off it stays disabled like its neighbours.
void ModBusWidget::updateProtocolEnabled()
{
    const bool heartbeatOn = ui->m_ComboBoxHeartEnable->currentIndex() > 0;
    const bool dataFrame = ui->m_comboBoxFrameFormat->currentIndex() == 0;
    ui->comboBox->setEnabled(heartbeatOn && dataFrame);
}

void ModBusWidget::oncomboBoxChange(int index)
{
    for (int i = 0; i < ui->comboBox_2->count(); ++i)
        setEntryEnabled(ui->comboBox_2, i, Protocol::lengthAllowed(index, ModbusBlock::lengthAt(i)));
    if (!Protocol::lengthAllowed(index, dataLength()))
        ui->comboBox_2->setCurrentIndex(kDefaultLengthIndex);
}

void ModBusWidget::onType(int mode)
{
    for (int i = Protocol::ProtocolCan; i <= Protocol::ProtocolCanFdBrs; ++i)
        setEntryEnabled(ui->comboBox, i, Protocol::protocolAllowed(i, mode));
    // The entry shown could no longer be chosen again (a classic bus cannot
    // carry an FD heartbeat): fall back to the nearest one the bus takes.
    int protocol = ui->comboBox->currentIndex();
    while (protocol > Protocol::ProtocolCan && !Protocol::protocolAllowed(protocol, mode))
        --protocol;
    if (protocol != ui->comboBox->currentIndex())
        ui->comboBox->setCurrentIndex(protocol);
    oncomboBoxChange(ui->comboBox->currentIndex());
}

bool ModBusWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->m_textEdit) {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (!dataKeyPasses(static_cast<QKeyEvent *>(event)))
                return true;
            break;
        case QEvent::Clipboard:
            pasteHexFromClipboard();
            return true;
        case QEvent::InputMethod:
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Decides whether a key press reaches the data editor; Ctrl+V is taken
// over by the hex paste.
bool ModBusWidget::dataKeyPasses(const QKeyEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->key() != Qt::Key_V)
            return true;
        pasteHexFromClipboard();
        return false;
    }
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Escape:
        return true;
    default:
        return !event->text().isEmpty() && isHexDigit(event->text().at(0));
    }
}

void ModBusWidget::pasteHexFromClipboard()
{
    QString digits;
    for (const QChar c : QGuiApplication::clipboard()->text())
        if (isHexDigit(c))
            digits.append(c.toUpper());
    if (digits.isEmpty())
        return;
    QStringList pairs;
    for (int i = 0; i < digits.size(); i += 2)
        pairs << digits.mid(i, 2);
    ui->m_textEdit->insertPlainText(pairs.join(QLatin1Char(' ')));
}

void ModBusWidget::showDataMenu(const QPoint &pos)
{
    QScopedPointer<QMenu> menu(ui->m_textEdit->createStandardContextMenu());
    if (auto *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, &ModBusWidget::pasteHexFromClipboard);
    }
    menu->exec(ui->m_textEdit->viewport()->mapToGlobal(pos));
}
