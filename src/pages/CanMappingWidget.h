#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <memory>

class QMenu;
class RecvMappingTable;
class SendMappingTable;

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
    QMenu *createMenu(void (CanMappingWidget::*del)(), void (CanMappingWidget::*add)(),
                      void (CanMappingWidget::*clear)());

    Ui::CanMappingWidgetClass *ui;
    int m_canMode = 0;
    std::unique_ptr<SendMappingTable> m_send;
    std::unique_ptr<RecvMappingTable> m_recv;
    QMenu *m_sendMenu = nullptr;
    QMenu *m_recvMenu = nullptr;
    // The last object toJson made, and the rows it was made of.
    mutable QJsonObject m_json;
    mutable QStringList m_jsonSend;
    mutable QStringList m_jsonRecv;
};
