#include "link/TrafficLogPanel.h"

#include "common/FileDialog.h"
#include "common/MessageBox.h"
#include "link/TrafficLog.h"
#include "link/TrafficLogModel.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Often enough to look live, rarely enough that a firmware update's
// hundreds of exchanges a second cost the view a few layouts.
constexpr int kSyncMs = 100;

} // namespace

TrafficLogPanel::TrafficLogPanel(TrafficLog *log, QWidget *parent)
    : QWidget(parent), m_log(log), m_model(new TrafficLogModel(log, this)), m_view(new QTableView(this)),
      m_syncTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("trafficLogPanel"));
    m_view->setObjectName(QStringLiteral("trafficLogView"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Every row one line high and no column sized to its contents: with
    // thousands of rows the view never measures them.
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    QHeaderView *columns = m_view->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(true);
    // Each column as wide as its header and the widest text it can show, in
    // the language of the day, measured once here and never per row.
    const QFontMetrics metrics = m_view->fontMetrics();
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    const auto fit = [&](int column, const QStringList &texts) {
        int width = metrics.horizontalAdvance(m_model->headerData(column, Qt::Horizontal).toString()) + 3 * digit;
        for (const QString &text : texts)
            width = qMax(width, metrics.horizontalAdvance(text) + 2 * digit);
        columns->resizeSection(column, width);
    };
    QStringList directions;
    QStringList commands;
    TrafficLog::Entry sample;
    for (const auto direction :
         {TrafficLog::Direction::Sent, TrafficLog::Direction::Received, TrafficLog::Direction::Timeout,
          TrafficLog::Direction::Note}) {
        sample.direction = direction;
        directions << TrafficLog::directionText(sample);
    }
    sample.direction = TrafficLog::Direction::Received;
    for (int code = 0; code < 0x30; ++code) {
        sample.bytes = QByteArray::fromHex("56AA") + char(code);
        commands << TrafficLog::commandText(sample);
    }
    fit(TrafficLogModel::TimeColumn, {QStringLiteral("00:00:00.000")});
    fit(TrafficLogModel::DirectionColumn, directions);
    fit(TrafficLogModel::CommandColumn, commands);
    fit(TrafficLogModel::LengthColumn, {QStringLiteral("0000")});
    columns->resizeSection(TrafficLogModel::BytesColumn, digit * 60);

    auto *clear = new QPushButton(tr("清空"), this);
    clear->setObjectName(QStringLiteral("trafficLogClearButton"));
    auto *save = new QPushButton(tr("保存…"), this);
    save->setObjectName(QStringLiteral("trafficLogSaveButton"));
    auto *copy = new QPushButton(tr("复制"), this);
    copy->setObjectName(QStringLiteral("trafficLogCopyButton"));
    auto *buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(clear);
    buttons->addWidget(save);
    buttons->addWidget(copy);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_view);
    layout->addLayout(buttons);

    m_syncTimer->setSingleShot(true);
    m_syncTimer->setInterval(kSyncMs);
    connect(m_syncTimer, &QTimer::timeout, this, &TrafficLogPanel::sync);
    connect(m_log, &TrafficLog::appended, this, &TrafficLogPanel::scheduleSync);
    connect(m_log, &TrafficLog::cleared, this, &TrafficLogPanel::scheduleSync);
    connect(clear, &QPushButton::clicked, this, &TrafficLogPanel::clearLog);
    connect(save, &QPushButton::clicked, this, &TrafficLogPanel::saveLog);
    connect(copy, &QPushButton::clicked, this, &TrafficLogPanel::copyLines);
}

void TrafficLogPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    sync();
}

void TrafficLogPanel::scheduleSync()
{
    if (isVisible() && !m_syncTimer->isActive())
        m_syncTimer->start();
}

void TrafficLogPanel::sync()
{
    m_syncTimer->stop();
    // Follow the newest entry only when the user has not scrolled away.
    const QScrollBar *bar = m_view->verticalScrollBar();
    const bool atBottom = bar->value() == bar->maximum();
    m_model->sync();
    if (atBottom)
        m_view->scrollToBottom();
}

void TrafficLogPanel::clearLog()
{
    m_log->clear();
    sync();
}

QStringList TrafficLogPanel::linesToCopy() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    if (rows.isEmpty()) {
        for (int i = 0; i < m_log->count(); ++i)
            lines << TrafficLog::line(m_log->entry(i));
        return lines;
    }
    for (const int row : qAsConst(rows)) {
        const QString line = m_model->lineAt(row);
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

void TrafficLogPanel::copyLines()
{
    QApplication::clipboard()->setText(linesToCopy().join(QLatin1Char('\n')));
}

void TrafficLogPanel::saveLog()
{
    const QString fileName =
        askFileName(FileDialogKind::Save, this, tr("保存通信记录"), tr("TXT files(*.txt)"));
    if (fileName.isEmpty())
        return;
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly)) {
        for (int i = 0; i < m_log->count(); ++i)
            file.write((TrafficLog::line(m_log->entry(i)) + QLatin1Char('\n')).toUtf8());
        if (file.commit())
            return;
    }
    showMessageBox(QMessageBox::Warning, this, tr("错误"), tr("保存通信记录出错.") + file.errorString());
}
