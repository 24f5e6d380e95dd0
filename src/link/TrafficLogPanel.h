#pragma once

#include <QStringList>
#include <QWidget>

class QTableView;
class QTimer;
class TrafficLog;
class TrafficLogModel;

// The traffic log panel ("通信记录"): a table over the log and the buttons
// to clear it, save it to a text file and copy lines to the clipboard.
// While hidden it does nothing at all; while shown it follows the log at
// most every kSyncMs, however fast frames come. It must never touch the
// link: it only reads and clears the log.
class TrafficLogPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TrafficLogPanel(TrafficLog *log, QWidget *parent = nullptr);

    // The selected lines, or every line when none is selected, as the log
    // formats them.
    QStringList linesToCopy() const;

public slots:
    void clearLog();
    void saveLog();
    void copyLines();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void scheduleSync();
    void sync();

    TrafficLog *m_log;
    TrafficLogModel *m_model;
    QTableView *m_view;
    QTimer *m_syncTimer;
};
