#include "update/UpadteWidget.h"

#include "common/FileDialog.h"
#include "common/MessageBox.h"
#include "protocol/Crc16.h"
#include "protocol/UpdateFrame.h"

#include "ui_UpadteWidget.h"

#include <QFile>
#include <QProgressBar>
#include <QTimer>

namespace {

// The start packet announces the padded length in 32 bits, and the image is
// held in one QByteArray, which in Qt 5 stays a little under 2 GiB.
constexpr qint64 kMaxPaddedLength = 0xFFFFFFFFLL;
constexpr qint64 kMaxInMemorySize = 0x7FFFF000LL;

bool imageTooLarge(qint64 size)
{
    const qint64 blocks = (size + UpdateFrame::BlockSize - 1) / UpdateFrame::BlockSize;
    return blocks * UpdateFrame::BlockSize > kMaxPaddedLength || size > kMaxInMemorySize;
}

// A screen shows a new picture about every 16 ms.
constexpr int kBarPaintIntervalMs = 16;

} // namespace

UpadteWidget::UpadteWidget(QWidget *parent) : QWidget(parent), ui(new Ui::UpadteWidgetClass)
{
    ui->setupUi(this);
    // The bar keeps its place while hidden, so the file row does not jump
    // when an update starts or ends.
    QSizePolicy policy = ui->progressBar->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    ui->progressBar->setSizePolicy(policy);
    ui->progressBar->hide();
    connect(ui->pushButton_2, &QPushButton::clicked, this, &UpadteWidget::on_pushupdate);

    m_barPaintTimer = new QTimer(this);
    m_barPaintTimer->setSingleShot(true);
    connect(m_barPaintTimer, &QTimer::timeout, this, &UpadteWidget::paintProgress);
}

UpadteWidget::~UpadteWidget()
{
    delete ui;
}

void UpadteWidget::on_pushupdate()
{
    if (!canStart())
        return;
    const QString path = askFileName(FileDialogKind::Open, this, tr("选择文件"), tr("所有文件 (*.*)"));
    if (!path.isEmpty())
        startUpdate(path);
}

// Every packet turns the central widget's wait loop, so a second click
// could arrive while the first update is still sending; and a click during
// another command's wait would have its packets refused, which would read
// as a device that never answered. Both are ignored, as the command
// buttons ignore a click during a wait.
bool UpadteWidget::canStart() const
{
    return !m_running && !(m_linkBusy && m_linkBusy());
}

void UpadteWidget::startUpdate(const QString &filePath)
{
    if (!canStart())
        return;
    m_filePath = filePath;
    ui->lineEdit->setText(filePath);
    if (!loadImage())
        return;

    m_running = true;
    m_stopped = false;
    ui->pushButton_2->setEnabled(false);
    ui->progressBar->setValue(0);
    ui->progressBar->show();
    for (int phase : {UpdateFrame::Start, UpdateFrame::Data, UpdateFrame::End}) {
        sendUpdatePhase(phase);
        if (m_stopped)
            break;
    }
    m_image.clear();
    paintProgress();
    ui->pushButton_2->setEnabled(true);
    m_running = false;
}

// Read once, so that the start, data and end packets all describe the
// same bytes even if the file changes while the update runs.
bool UpadteWidget::loadImage()
{
    m_image.clear();
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessageBox(QMessageBox::Warning, this, tr("错误"), tr("打开固件文件失败.") + file.errorString());
        return false;
    }
    if (imageTooLarge(file.size())) {
        showMessageBox(QMessageBox::Warning, this, tr("错误"), tr("固件文件过大"));
        return false;
    }
    const qint64 expected = file.size();
    m_image = file.readAll();
    if (m_image.size() != expected) {
        showMessageBox(QMessageBox::Warning, this, tr("错误"), tr("打开固件文件失败.") + file.errorString());
        m_image.clear();
        return false;
    }
    return true;
}

void UpadteWidget::sendUpdatePhase(int phase)
{
    if (m_stopped)
        return;
    switch (phase) {
    case UpdateFrame::Start:
        sendPacket(UpdateFrame::Start, UpdateFrame::startPacket(UpdateFrame::paddedLength(m_image.size())));
        break;
    case UpdateFrame::Data:
        sendDataPhase();
        break;
    case UpdateFrame::End:
        sendPacket(UpdateFrame::End, UpdateFrame::endPacket(m_imageCrc));
        break;
    default:
        break;
    }
}

void UpadteWidget::sendDataPhase()
{
    m_imageCrc = 0xFFFF;
    const quint32 count = UpdateFrame::blockCount(m_image.size());
    for (quint32 i = 0; i < count; ++i) {
        const QByteArray block = UpdateFrame::block(m_image, i);
        m_imageCrc = crc16Modbus(block, m_imageCrc);
        if (!sendPacket(UpdateFrame::Data, UpdateFrame::dataPacket(i, block)))
            return;
        // 100 is left for the device's final word on the end packet.
        showProgress(int(i * 100.0 / count));
    }
}

// QProgressBar::setValue paints at once, between one acknowledgement and the
// next packet, which would keep the line idle for as long as the paint takes
// (longer than handling the packet). With the bar's updates held, the value
// is set at once and painted by the event loop, while the next packet is on
// the line, and no more often than a screen shows it: on the line percent
// steps come tens of milliseconds apart, on a faster link they would come
// faster than anyone could see them.
void UpadteWidget::showProgress(int value)
{
    QProgressBar *bar = ui->progressBar;
    if (bar->value() == value)
        return;
    bar->setUpdatesEnabled(false);
    bar->setValue(value);
    if (m_barPaintTimer->isActive())
        return; // the timer paints the latest value
    const qint64 sinceLast = m_barPainted.isValid() ? m_barPainted.elapsed() : kBarPaintIntervalMs;
    if (sinceLast >= kBarPaintIntervalMs)
        paintProgress();
    else
        m_barPaintTimer->start(int(kBarPaintIntervalMs - sinceLast));
}

// Lets the bar paint what it holds (on the event loop's next turn).
void UpadteWidget::paintProgress()
{
    m_barPaintTimer->stop();
    if (!ui->progressBar->updatesEnabled()) {
        ui->progressBar->setUpdatesEnabled(true);
        m_barPainted.start();
    }
}

// Returns only after the central widget has had the packet answered or
// given up on it; false when no acknowledgement came.
bool UpadteWidget::sendPacket(quint8 phase, const QByteArray &packet)
{
    m_awaitedPhase = phase;
    m_acknowledged = false;
    emit Updasend(packet);
    m_awaitedPhase = 0;
    if (!m_acknowledged)
        abortUpdate();
    return m_acknowledged;
}

// Blocks the device never confirmed leave a hole in its image: carrying on
// would only end in an end packet over data it does not have.
void UpadteWidget::abortUpdate()
{
    m_stopped = true;
    paintProgress();
    ui->progressBar->hide();
    showMessageBox(QMessageBox::Information, this, tr("提醒"), tr("设备无应答，固件更新已中断"));
}

void UpadteWidget::handleUpdateReply(const QByteArray &frame)
{
    const UpdateFrame::Ack ack = UpdateFrame::ack(frame);
    const quint8 phase = ack.phase;
    const bool failed = ack.status == UpdateFrame::Refused;
    if (m_awaitedPhase != 0 && phase == m_awaitedPhase)
        m_acknowledged = true;
    // A box or the end shows the bar as it stands.
    if (failed || phase == UpdateFrame::End)
        paintProgress();

    switch (phase) {
    case UpdateFrame::Start:
        if (failed)
            showMessageBox(QMessageBox::Information, this, tr("提醒"), tr("文件长度错误"));
        break;
    case UpdateFrame::Data:
        if (failed)
            showMessageBox(QMessageBox::Information, this, tr("提醒"), tr("校验错误"));
        break;
    case UpdateFrame::End:
        if (failed) {
            showMessageBox(QMessageBox::Information, this, tr("提醒"), tr("校验错误"));
        } else {
            ui->progressBar->setValue(100);
            showMessageBox(QMessageBox::Information, this, tr("提醒"), tr("固件更新成功"));
            ui->lineEdit->clear();
        }
        ui->progressBar->hide();
        break;
    default:
        break;
    }
}
