#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QWidget>

namespace Ui {
class ConvertParamWidgetClass;
}

// The "转换模式" page: conversion mode, direction, identifier position and
// forwarding intervals. Fills and decodes the 16-byte conversion block of
// the main-parameter frames (offsets 43..58); never touches the port.
class ConvertParamWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ConvertParamWidget(QByteArray *replyBuffer, QWidget *parent = nullptr);
    ~ConvertParamWidget() override;

    void writeBlock(QByteArray &frame) const;
    void readBlock();
    QJsonObject toJson() const;
    void fromJson(const QJsonObject &object);

    int convertModeIndex() const;
    void setOffsetMaximum(int protocol);
    void setIdLengthMaximum(int frameType);
    void setDeviceType(int typeCode);

signals:
    void Changemode(int mode);
    void signalCanMappingEnable(bool b);

public slots:
    void comboBoxConvertModelIndexChanged(int index);

private:
    void fillLists();
    void applyFixedFrameMode(int index);
    void applyFreeMode(int index);

    Ui::ConvertParamWidgetClass *ui;
    QByteArray *replyBuffer;
};
