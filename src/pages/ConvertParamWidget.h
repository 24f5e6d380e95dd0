#pragma once

#include "protocol/ConversionBlock.h"

#include <QByteArray>
#include <QJsonObject>
#include <QWidget>

namespace Ui {
class ConvertParamWidgetClass;
}

// The "转换模式" page: conversion mode, direction, identifier position and
// forwarding intervals: the conversion block of the main-parameter frames.
// Shows and validates values; never touches the port and never places a
// byte itself (the block does).
class ConvertParamWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ConvertParamWidget(QByteArray *replyBuffer, QWidget *parent = nullptr);
    ~ConvertParamWidget() override;

    // What the page shows, as the device takes it.
    Protocol::ConversionBlock block() const;
    void writeBlock(QByteArray &frame) const;
    void readBlock();
    QJsonObject toJson() const;
    void fromJson(const QJsonObject &object);
    // The identifier's start position and length of a "ConvertParam"
    // object, within the page's present limits.
    void applyIdPlace(const QJsonObject &object);

    int convertModeIndex() const;
    void setOffsetMaximum(int protocol);
    void setIdLengthMaximum(int frameType);
    void setDeviceType(int typeCode);
    // The code last given to setDeviceType, -1 before any.
    int deviceType() const { return m_deviceType; }

signals:
    void Changemode(int mode);
    void signalCanMappingEnable(bool b);

public slots:
    void comboBoxConvertModelIndexChanged(int index);

private:
    void fillLists();
    void applyFixedFrameMode(int index);
    void applyFreeMode(int index);
    void showBlock(const Protocol::ConversionBlock &block);

    Ui::ConvertParamWidgetClass *ui;
    QByteArray *replyBuffer;
    int m_deviceType = -1;
};
