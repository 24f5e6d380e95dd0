#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QRegularExpressionValidator;

namespace Ui {
class ModBusWidgetClass;
}

// The "Modbus" page: the converter's Modbus address and its heartbeat
// frame (the 0x21 / 0x20 frames). Never touches the port.
class ModBusWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ModBusWidget(QWidget *parent = nullptr);
    ~ModBusWidget() override;

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
    QRegularExpressionValidator *m_standardIdValidator;
    QRegularExpressionValidator *m_extendedIdValidator;
};
