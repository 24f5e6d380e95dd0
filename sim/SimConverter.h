#pragma once
#include <QObject>
class SimConverter : public QObject
{
    Q_OBJECT
public:
    explicit SimConverter(QObject *parent = nullptr) : QObject(parent) {}
};
