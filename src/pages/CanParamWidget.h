#pragma once

#include "pages/CanFilterTable.h"

#include <QByteArray>
#include <QJsonObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <memory>

class QComboBox;
class QLineEdit;
class QMenu;

namespace Ui {
class CanParamWidgetClass;
}

// The "CAN参数" page: protocol, CAN FD standard, frame type, acceleration,
// both bit-rate timing words, the send identifier (the 28-byte CAN block at
// offsets 15..42 of the main-parameter frames) and the acceptance filters
// (their own 0x04 / 0x05 frames). Never touches the port.
class CanParamWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CanParamWidget(QByteArray *replyBuffer, QWidget *parent = nullptr);
    ~CanParamWidget() override;

    // CAN block of the 0x02 frame. Returns false, after telling the user,
    // when the identifier cannot be sent; the write must then not go out.
    bool writeBlock(QByteArray &frame);
    void readBlock();
    // Filter block of the 0x04 frame / from the 0x05 reply in replyBuffer.
    void writeFilterBlock(QByteArray &frame) const;
    void readFilterBlock();

    QJsonObject toJson() const;
    void fromJson(const QJsonObject &object);

    // 0 classic CAN, 1 CAN FD, 2 CAN FD with bit-rate switching.
    int canMode() const;
    int frameTypeIndex() const;

signals:
    void agreement(int protocol);
    void comboBox_3_Change(int frameType);
    void comboBox_2_Change(int canMode);

public slots:
    void comboBox_6_currentIndexChanged(int index);
    void comboBox_7_currentIndexChanged(int index);
    void onCurrenttextChange(int index);
    void onTextChanged(const QString &text);
    void comboBox_2_currentIndexChanged(int index);
    void comboBox_4_currentIndexChanged(int index);
    void lineEdit_3_textChanged(const QString &text);
    void comboBox_3_currentIndexChanged(int index);

    // Filters.
    void oncheckBox(bool checked);
    void onCanSendMappingCustomContextMenuRequested(const QPoint &pos);
    void onActionSendMappingDelete();
    void onActionSendMappingAdd();
    void oncomboxCurrenttextChange(int index);

private:
    void connectRules();
    void applyBitRateRule(QComboBox *list, QLineEdit *wordEdit, int index);
    void selectTimingWord(QComboBox *list, QLineEdit *wordEdit, quint32 word);

    // Filter half (CanParamFilters.cpp).
    void setupFilters();
    int rangeCheckRow() const;
    static void showIdRangeBox(const QString &range);

    Ui::CanParamWidgetClass *ui;
    QByteArray *replyBuffer;
    QString m_lastAcceptedId;
    std::unique_ptr<CanFilterTable> m_filters;
    QMenu *m_filterMenu = nullptr;
    // The last object toJson made, and the values it was made of.
    mutable QJsonObject m_json;
    mutable QVector<int> m_jsonNumbers;
    mutable QStringList m_jsonTexts;
    mutable QVector<CanFilterTable::FileRow> m_jsonRows;
};
