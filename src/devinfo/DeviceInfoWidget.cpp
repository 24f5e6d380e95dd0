#include "devinfo/DeviceInfoWidget.h"

#include "common/AppResources.h"

#include "ui_DeviceInfoWidget.h"

#include <QDate>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

const char *const kLogoPath = ":/TARVINE/Resources/Logo.png";
// The project's version, from the build.
const char *const kToolVersion = TARVINE_VERSION;
const char *const kWebAddress = "https://www.morvane.example";

constexpr int kColumnTop = 90;
constexpr int kRowSpacing = 5;
constexpr int kColumnGap = 50;

} // namespace

DeviceInfoWidget::DeviceInfoWidget(QWidget *parent) : QWidget(parent), ui(new Ui::DeviceInfoWidgetClass)
{
    // The logo lives in the core library, whose resources are not
    // registered on their own.
    ensureAppResources();
    ui->setupUi(this);
    arrangeLayouts();
    fillMakerTexts();
}

DeviceInfoWidget::~DeviceInfoWidget()
{
    delete ui;
}

void DeviceInfoWidget::setDeviceInfo(const QString &deviceType, const QString &hardwareVersion,
                                     const QString &firmwareVersion, const QString &productNumber)
{
    ui->m_lineEditDevType->setText(deviceType);
    ui->m_lineEditHardwareVer->setText(hardwareVersion);
    ui->m_lineEditFirmware->setText(firmwareVersion);
    ui->m_lineEditProductNum->setText(productNumber);
}

// The form places its widgets absolutely; the page centres the maker's
// column and the device's column side by side instead.
void DeviceInfoWidget::arrangeLayouts()
{
    auto *page = new QHBoxLayout(this);
    page->addStretch();
    page->addLayout(makerColumn());
    page->addSpacing(kColumnGap);
    page->addLayout(deviceColumn());
    page->addStretch();
}

QVBoxLayout *DeviceInfoWidget::deviceColumn()
{
    const QList<QPair<QLabel *, QLineEdit *>> rows = {
        {ui->m_labelDevType, ui->m_lineEditDevType},
        {ui->m_labelHardwareVer, ui->m_lineEditHardwareVer},
        {ui->m_labelFirmwareVer, ui->m_lineEditFirmware},
        {ui->m_labelProductNum, ui->m_lineEditProductNum},
    };
    auto *column = new QVBoxLayout;
    column->addSpacing(kColumnTop);
    for (int i = 0; i < rows.size(); ++i) {
        if (i > 0)
            column->addSpacing(kRowSpacing);
        auto *row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(rows.at(i).first);
        row->addWidget(rows.at(i).second);
        row->addStretch();
        column->addLayout(row);
    }
    column->addStretch();
    return column;
}

QVBoxLayout *DeviceInfoWidget::makerColumn()
{
    auto *column = new QVBoxLayout;
    column->addSpacing(kColumnTop);
    column->addWidget(ui->m_labelLogo);
    column->addWidget(ui->m_labelCompany);
    column->addWidget(ui->m_labelVer);
    column->addWidget(ui->m_labelWebsite);
    column->addStretch();
    return column;
}

void DeviceInfoWidget::fillMakerTexts()
{
    const QString webAddress = QString::fromLatin1(kWebAddress);
    ui->m_labelWebsite->setTextFormat(Qt::RichText);
    ui->m_labelWebsite->setOpenExternalLinks(true);
    // The style drops the underline browsers give links.
    ui->m_labelWebsite->setText(tr("官网") + QStringLiteral("<style>a{text-decoration: none}</style>") +
                                QStringLiteral("<a href=\"%1\">%1</a>").arg(webAddress));

    ui->m_labelVer->setText(tr("版本：") + QString::fromLatin1(kToolVersion));

    const QString year = QString::number(QDate::currentDate().year());
    ui->m_labelCompany->setText(
        QStringLiteral("<p/>") + QStringLiteral("<div align=\"left\">").repeated(2) +
        QStringLiteral("<p>%1%2%3</p></div>").arg(tr("版权所有 © "), year, tr(" Morvane")));
}

// Scaled to the label's size at paint time so that it follows the label;
// set only when that size changed, since every setPixmap repaints the page
// and would otherwise keep it painting forever.
void DeviceInfoWidget::updateLogo()
{
    QLabel *label = ui->m_labelLogo;
    const QPixmap logo(QString::fromLatin1(kLogoPath));
    if (logo.isNull()) {
        if (!label->text().isEmpty())
            label->setText(QString());
        return;
    }
    // Scaled in device pixels, so the logo stays sharp on high-DPI screens.
    const qreal ratio = devicePixelRatioF();
    const QSize target = logo.size().scaled(label->size() * ratio, Qt::KeepAspectRatio);
    if (label->pixmap(Qt::ReturnByValue).size() == target)
        return;
    QPixmap scaled = logo.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    label->setPixmap(scaled);
}

void DeviceInfoWidget::paintEvent(QPaintEvent *event)
{
    updateLogo();

    // Separator between the maker's column and the device's column.
    QPainter painter(this);
    painter.setPen(QPen(Qt::gray, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    const QRect r = ui->m_labelWebsite->geometry();
    const int x = r.x() + r.width() + 10;
    painter.drawLine(x, r.y() - 80, x, r.y() + r.height() + 50);
    painter.end();

    QWidget::paintEvent(event);
}
