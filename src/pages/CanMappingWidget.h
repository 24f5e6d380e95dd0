#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QPoint>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <functional>

class QJsonArray;
class QMenu;
class QTableWidget;

namespace Ui {
class CanMappingWidgetClass;
}

// The "ID映射" page: the CAN send mapping table (0x25 / 0x24 frames) and the
// CAN receive mapping table (0x23 / 0x22 frames), validated before a write
// in mode "MODBUS从站". Never touches the port.
class CanMappingWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CanMappingWidget(QWidget *parent = nullptr);
    ~CanMappingWidget() override;

    void writeSendBlock(QByteArray &frame) const;
    void readSendBlock(const QByteArray &frame);
    void writeRecvBlock(QByteArray &frame) const;
    void readRecvBlock(const QByteArray &frame);

    bool validateMappings();
    void applyCanMode(int mode);
    // Answer to getcantype(): the CAN page's current mode.
    void setCanMode(int mode) { m_canMode = mode; }

    QStringList sendRowStrings() const;
    QStringList recvRowStrings() const;
    QJsonObject toJson() const;
    void fromJson(const QJsonObject &object);

signals:
    void getcantype();

public slots:
    void onCanSendMappingCustomContextMenuRequested(const QPoint &pos);
    void onActionSendMappingDelete();
    void onActionSendMappingAdd();
    void onActionSendMappingClearAll();
    void onCanRecvMappingCustomContextMenuRequested(const QPoint &pos);
    void onActionRecvMappingDelete();
    void onActionRecvMappingAdd();
    void onActionRecvMappingClearAll();
    void onCurrentChange(int index);
    void onCurrentCANChange(int index);

private:
    // Registers S..S+N-1 of one receive row, kept for the overlap check.
    struct RecvRange
    {
        int start = 0;
        int end = 0;
        QWidget *address = nullptr;
        QWidget *count = nullptr;
    };

    QMenu *createMenu(void (CanMappingWidget::*del)(), void (CanMappingWidget::*add)(),
                      void (CanMappingWidget::*clear)());
    bool refuseWhenFull(const QTableWidget *table);
    void showRowLimit();
    int addSendRow();
    int addRecvRow();
    void resetSendRow(int row);
    void resetRecvRow(int row);
    int takeRow(bool send, int row);
    bool rowShows(bool send, int row, const QByteArray &frame, int offset);
    bool sendRowShows(int row, const QByteArray &frame, int offset) const;
    bool recvRowShows(int row, const QByteArray &frame, int offset) const;
    void fitColumnsToContents();
    int firstSelectedSendRow() const;
    void setFrameFormat(int row, int index);

    // Refills a table from a reply: a record only counts when the reply
    // holds all of it, and the first empty or cut-off slot ends the list.
    void readRows(bool send, const QByteArray &frame);
    void fillSendRow(int row, const QByteArray &frame, int offset);
    void fillRecvRow(int row, const QByteArray &frame, int offset);
    void loadSendRow(int row, const QString &text);
    void loadRecvRow(int row, const QString &text);
    void loadRows(bool send, const QJsonArray &rows);

    bool fail(QWidget *first, QWidget *second, const QString &title, const QString &text,
              const QString &button = QString());
    bool validateUniqueColumn(const QTableWidget *table, int column, int base,
                              const std::function<quint32(int row)> &maximum, const QString &emptyTitle,
                              const QString &duplicateTitle, const QString &duplicateText);
    bool validateRecvRows(QVector<RecvRange> &ranges);
    bool validateRecvRanges(const QVector<RecvRange> &ranges);

    Ui::CanMappingWidgetClass *ui;
    int m_canMode = 0;
    QMenu *m_sendMenu = nullptr;
    QMenu *m_recvMenu = nullptr;
};
