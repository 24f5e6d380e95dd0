#pragma once

#include "protocol/ModbusBlock.h"

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QKeyEvent;
class QLineEdit;

namespace Ui {
class ModBusWidgetClass;
}

// The "Modbus" page: the converter's Modbus address and its heartbeat
// frame, the Modbus block of the 0x21 / 0x20 frames. Shows and validates
// values; never touches the port and never places a byte itself (the
// block does).
class ModBusWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ModBusWidget(QWidget *parent = nullptr);
    ~ModBusWidget() override;

    // What the page shows, as the device takes it.
    Protocol::ModbusBlock block() const;
    void writeBlock(QByteArray &frame) const;
    void readBlock(const QByteArray &frame);
    void loadDefaults();
    QJsonObject toJson() const;
    void fromJson(const QJsonObject &object);

public slots:
    void on_changecomboBox_2(const QString &text);
    void onTextChanged(const QString &text);
    void onTimeTextChanged(const QString &text);
    void onCurrenttextChange(int index);
    void onM_ComboBoxHeartEnable(int index);
    void oncomboBoxChange(int index);
    void comboBoxFrameFormat(int index);
    void onType(int mode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addChoiceItems();
    void updateProtocolEnabled();
    void showRangeError(QLineEdit *edit, const QString &range);
    void applyFlags(quint8 flags);
    quint8 flagsByte() const;
    int dataLength() const;
    QStringList dataPieces(int length) const;
    bool dataKeyPasses(const QKeyEvent *event);
    void pasteHexFromClipboard();
    void showDataMenu(const QPoint &pos);

    Ui::ModBusWidgetClass *ui;
};
