// The CAN parameters page: protocol, frame and bit-rate settings and the send
// identifier of the main-parameter frames. The filter half of the class is
// in CanParamFilters.cpp.
#include "pages/CanParamWidget.h"

#include "common/MessageBox.h"
#include "pages/CanFilterTable.h"
#include "pages/CanIdEdit.h"
#include "pages/TableCells.h"
#include "protocol/ByteFields.h"
#include "protocol/CanBlock.h"
#include "protocol/CanRules.h"

#include "ui_CanParamWidget.h"

#include <QRegularExpression>

namespace {

// Digits of the send identifier and of the timing words as shown.
constexpr int kIdDigits = 8;

const char kKeyStandard[] = "CANStandard";
const char kKeyAgreement[] = "Agreement";
const char kKeyFrameType[] = "frameType";
const char kKeySpeed[] = "speed";
const char kKeySendId[] = "sendID";
const char kKeyArbitration[] = "Arbitrationarea";
const char kKeyData[] = "Dataarea";
// Beside the list positions: the custom words as shown, and the filter switch.
const char kKeyArbitrationWord[] = "ArbitrationWord";
const char kKeyDataWord[] = "DataWord";
const char kKeyFilterEnable[] = "FilterEnable";

QString wordDigits(quint32 word)
{
    return QString::number(word, 16).rightJustified(kIdDigits, QLatin1Char('0'));
}

// A custom word as a file gives it: a hexadecimal number of at most 32 bits,
// "0x" before it or not, kept as written; anything else is the placeholder.
QString customWordText(const QJsonValue &value)
{
    static const QRegularExpression hex(QRegularExpression::anchoredPattern(QStringLiteral("(0[xX])?[0-9a-fA-F]+")));
    const QString text = value.toString();
    bool ok = false;
    if (hex.match(text).hasMatch())
        text.toUInt(&ok, 16);
    return ok ? text : QStringLiteral("0x") + wordDigits(0);
}

template <int N>
void attachWords(QComboBox *list, const quint32 (&words)[N])
{
    Q_ASSERT(list->count() == N);
    for (int i = 0; i < N && i < list->count(); ++i)
        list->setItemData(i, words[i]);
}

} // namespace

CanParamWidget::CanParamWidget(QByteArray *replyBuffer, QWidget *parent)
    : QWidget(parent), ui(new Ui::CanParamWidgetClass), replyBuffer(replyBuffer)
{
    ui->setupUi(this);
    attachWords(ui->comboBox_6, Protocol::kArbitrationWords);
    attachWords(ui->comboBox_7, Protocol::kDataWords);
    connectRules();

    // The form fills the lists before the rules are connected, so apply
    // the rules of the first entries now, in the order the entries arrive.
    comboBox_6_currentIndexChanged(ui->comboBox_6->currentIndex());
    comboBox_7_currentIndexChanged(ui->comboBox_7->currentIndex());
    comboBox_2_currentIndexChanged(ui->comboBox_2->currentIndex());
    onCurrenttextChange(ui->comboBox_3->currentIndex());
    comboBox_3_currentIndexChanged(ui->comboBox_3->currentIndex());
    comboBox_4_currentIndexChanged(ui->comboBox_4->currentIndex());

    setupFilters();
}

CanParamWidget::~CanParamWidget() { delete ui; }

void CanParamWidget::connectRules()
{
    const auto indexChanged = QOverload<int>::of(&QComboBox::currentIndexChanged);
    connect(ui->comboBox_6, indexChanged, this, &CanParamWidget::comboBox_6_currentIndexChanged);
    connect(ui->comboBox_7, indexChanged, this, &CanParamWidget::comboBox_7_currentIndexChanged);
    connect(ui->comboBox_3, indexChanged, this, &CanParamWidget::onCurrenttextChange);
    connect(ui->lineEdit_3, &QLineEdit::textChanged, this, &CanParamWidget::onTextChanged);
    // The protocol rule also hears activated, so picking the shown entry
    // again re-announces the protocol to the other pages.
    connect(ui->comboBox_2, indexChanged, this, &CanParamWidget::comboBox_2_currentIndexChanged);
    connect(ui->comboBox_2, QOverload<int>::of(&QComboBox::activated), this,
            &CanParamWidget::comboBox_2_currentIndexChanged);
    connect(ui->comboBox_4, indexChanged, this, &CanParamWidget::comboBox_4_currentIndexChanged);
    connect(ui->lineEdit_3, &QLineEdit::textChanged, this, &CanParamWidget::lineEdit_3_textChanged);
    connect(ui->comboBox_3, indexChanged, this, &CanParamWidget::comboBox_3_currentIndexChanged);
}

void CanParamWidget::showIdRangeBox(const QString &range)
{
    showMessageBox(QMessageBox::Information, nullptr, tr("输入错误"), tr("请输入有效值: %1").arg(range));
}

// ---- rules ----

void CanParamWidget::applyBitRateRule(QComboBox *list, QLineEdit *wordEdit, int index)
{
    wordEdit->setText(QStringLiteral("0x") + wordDigits(list->itemData(index).toUInt()).toUpper());
    wordEdit->setEnabled(index == list->count() - 1);
}

void CanParamWidget::comboBox_6_currentIndexChanged(int index)
{
    applyBitRateRule(ui->comboBox_6, ui->lineEdit, index);
}

void CanParamWidget::comboBox_7_currentIndexChanged(int index)
{
    applyBitRateRule(ui->comboBox_7, ui->lineEdit_2, index);
}

void CanParamWidget::comboBox_2_currentIndexChanged(int index)
{
    emit agreement(index);
    const bool fd = index != 0;
    ui->comboBox_4->setEnabled(fd);
    ui->comboBox->setEnabled(fd);
    ui->comboBox_7->setEnabled(fd);
    int mode = 0;
    if (fd) {
        if (ui->comboBox_4->currentIndex() != 0) {
            mode = 2;
        } else {
            ui->comboBox_7->setEnabled(false);
            mode = index;
        }
    }
    emit comboBox_2_Change(mode);
}

void CanParamWidget::comboBox_4_currentIndexChanged(int index)
{
    if (ui->comboBox_2->currentIndex() == 0)
        return;
    ui->comboBox_7->setEnabled(index != 0);
    emit comboBox_2_Change(index + 1);
}

void CanParamWidget::onCurrenttextChange(int index)
{
    if (index == 0 && !canIdInRange(ui->lineEdit_3->text(), false)) {
        ui->lineEdit_3->setText(QString());
        ui->lineEdit_3->setCursorPosition(0);
    }
}

void CanParamWidget::comboBox_3_currentIndexChanged(int index)
{
    setCanIdPattern(ui->lineEdit_3, index != 0);
    emit comboBox_3_Change(index);
}

void CanParamWidget::onTextChanged(const QString &text)
{
    QLineEdit *edit = ui->lineEdit_3;
    const auto restoreLastAccepted = [this, edit] {
        edit->setText(m_lastAcceptedId);
        edit->setCursorPosition(m_lastAcceptedId.size());
    };
    if (ui->comboBox_3->currentIndex() != 0 || canIdInRange(text, false)) {
        // Only a reply or a file can bring in more than 8 characters.
        if (edit->text().size() > kIdDigits)
            restoreLastAccepted();
        m_lastAcceptedId = edit->text();
    } else {
        restoreLastAccepted();
    }
}

void CanParamWidget::lineEdit_3_textChanged(const QString &text)
{
    const bool extended = ui->comboBox_3->currentIndex() != 0;
    if (canIdInRange(text, extended))
        return;
    showIdRangeBox(extended ? QStringLiteral("0x00-0x1fffffff") : QStringLiteral("0x00-0x7ff"));
    // Takes back the user's last edit; a text set by a reply or a file has
    // no history and stays.
    ui->lineEdit_3->undo();
}

// ---- block and file ----

bool CanParamWidget::writeBlock(QByteArray &frame)
{
    QString id = withoutSpaces(ui->lineEdit_3->text().simplified());
    if (id.size() != kIdDigits)
        id = id.rightJustified(kIdDigits, QLatin1Char('0'));
    static const QRegularExpression idDigits(QRegularExpression::anchoredPattern(QStringLiteral("[0-9a-fA-F]{8}")));
    if (!idDigits.match(id).hasMatch()) {
        // Sending a wrong identifier silently would reconfigure the device
        // with garbage: refuse the whole write instead.
        showMessageBox(QMessageBox::Information, this, tr("提示"), tr("CAN ID输入错误"));
        return false;
    }

    Protocol::CanBlock block;
    // Timing words are opaque to the tool: all 32 bits go out as shown.
    block.arbitrationWord = hexTextToTimingWord(ui->lineEdit->text());
    block.dataWord = hexTextToTimingWord(ui->lineEdit_2->text());
    block.sendId = id.toUInt(nullptr, 16);
    block.protocol = quint8(ui->comboBox_2->currentIndex());
    block.acceleration = quint8(ui->comboBox_4->currentIndex());
    block.standard = quint8(ui->comboBox->currentIndex());
    block.frameType = quint8(ui->comboBox_3->currentIndex());
    block.encode(frame);
    return true;
}

void CanParamWidget::selectTimingWord(QComboBox *list, QLineEdit *wordEdit, quint32 word)
{
    const int custom = list->count() - 1;
    // The custom entry is not matched: its word 0 is a placeholder, and a
    // custom word already shown must give way to the reply's word.
    for (int i = 0; i < custom; ++i) {
        if (list->itemData(i).toUInt() == word) {
            list->setCurrentIndex(i);
            return;
        }
    }
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(custom);
    wordEdit->setText(QStringLiteral("0x") + wordDigits(word));
    wordEdit->setEnabled(true);
}

void CanParamWidget::readBlock()
{
    if (!replyBuffer)
        return;
    const Protocol::CanBlock block = Protocol::CanBlock::decode(*replyBuffer);
    // Protocol and frame type first, so that the other pages' limits follow
    // the reply before they read their own blocks.
    ui->comboBox->setCurrentIndex(block.standard);
    ui->comboBox_2->setCurrentIndex(block.protocol);
    ui->comboBox_3->setCurrentIndex(block.frameType);
    ui->comboBox_4->setCurrentIndex(block.acceleration);
    ui->lineEdit_3->setText(compactHexId(block.sendId));
    selectTimingWord(ui->comboBox_6, ui->lineEdit, block.arbitrationWord);
    selectTimingWord(ui->comboBox_7, ui->lineEdit_2, block.dataWord);
}

QJsonObject CanParamWidget::toJson() const
{
    // Every connect's backup picture asks for the page, which mostly holds
    // what it held the last time: the object, with its four keys per filter
    // row, is made only when a value it is made of changed.
    const bool customArbitration = ui->comboBox_6->currentIndex() == ui->comboBox_6->count() - 1;
    const bool customData = ui->comboBox_7->currentIndex() == ui->comboBox_7->count() - 1;
    QVector<int> numbers{ui->comboBox->currentIndex(),   ui->comboBox_2->currentIndex(),
                         ui->comboBox_3->currentIndex(), ui->comboBox_4->currentIndex(),
                         ui->comboBox_6->currentIndex(), ui->comboBox_7->currentIndex(),
                         customArbitration,              customData,
                         static_cast<int>(ui->checkBox->checkState())};
    // A preset's word follows from its position; a custom one must be kept.
    QStringList texts{ui->lineEdit_3->text(), customArbitration ? ui->lineEdit->text() : QString(),
                      customData ? ui->lineEdit_2->text() : QString()};
    QVector<CanFilterTable::FileRow> rows = m_filters->fileRows();
    if (!m_json.isEmpty() && numbers == m_jsonNumbers && texts == m_jsonTexts && rows == m_jsonRows)
        return m_json;

    QJsonObject object;
    object.insert(QLatin1String(kKeyStandard), numbers.at(0));
    object.insert(QLatin1String(kKeyAgreement), numbers.at(1));
    object.insert(QLatin1String(kKeyFrameType), numbers.at(2));
    object.insert(QLatin1String(kKeySpeed), numbers.at(3));
    object.insert(QLatin1String(kKeySendId), texts.at(0));
    object.insert(QLatin1String(kKeyArbitration), numbers.at(4));
    object.insert(QLatin1String(kKeyData), numbers.at(5));
    if (customArbitration)
        object.insert(QLatin1String(kKeyArbitrationWord), texts.at(1));
    if (customData)
        object.insert(QLatin1String(kKeyDataWord), texts.at(2));
    object.insert(QLatin1String(kKeyFilterEnable), numbers.at(8));
    CanFilterTable::toJson(rows, object);
    m_json = object;
    m_jsonNumbers = std::move(numbers);
    m_jsonTexts = std::move(texts);
    m_jsonRows = std::move(rows);
    return m_json;
}

void CanParamWidget::fromJson(const QJsonObject &object)
{
    const auto position = [&object](const char *key) { return object.value(QLatin1String(key)).toInt(); };
    m_filters->clear();
    ui->comboBox->setCurrentIndex(position(kKeyStandard));
    ui->comboBox_2->setCurrentIndex(position(kKeyAgreement));
    ui->comboBox_3->setCurrentIndex(position(kKeyFrameType));
    ui->comboBox_4->setCurrentIndex(position(kKeySpeed));
    // An identifier the page refuses falls back to the last one it
    // accepted, which belongs to what the page showed before: the field
    // stays empty instead, and a write refuses it.
    m_lastAcceptedId.clear();
    ui->lineEdit_3->setText(object.value(QLatin1String(kKeySendId)).toString());
    ui->comboBox_6->setCurrentIndex(position(kKeyArbitration));
    ui->comboBox_7->setCurrentIndex(position(kKeyData));
    // A custom word is in the file when it was saved with one; older files
    // hold only the position, and the field keeps the list's rule.
    const auto takeCustomWord = [&object](QComboBox *list, QLineEdit *wordEdit, const char *key) {
        const QJsonValue word = object.value(QLatin1String(key));
        if (list->currentIndex() == list->count() - 1 && !word.isUndefined())
            wordEdit->setText(customWordText(word));
    };
    takeCustomWord(ui->comboBox_6, ui->lineEdit, kKeyArbitrationWord);
    takeCustomWord(ui->comboBox_7, ui->lineEdit_2, kKeyDataWord);
    m_filters->fromJson(object);
    const QJsonValue filterEnable = object.value(QLatin1String(kKeyFilterEnable));
    if (!filterEnable.isUndefined())
        ui->checkBox->setCheckState(checkStateFromNumber(filterEnable.toInt()));
}

int CanParamWidget::canMode() const
{
    return Protocol::canModeOf(ui->comboBox_2->currentIndex(), ui->comboBox_4->currentIndex());
}

int CanParamWidget::frameTypeIndex() const { return ui->comboBox_3->currentIndex(); }
