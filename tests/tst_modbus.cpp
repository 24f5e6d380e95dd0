#include <QtTest>

class Tst_modbus : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_modbus)
#include "tst_modbus.moc"
