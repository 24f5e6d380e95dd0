#include <QtTest>

class Tst_deviceinfo : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_deviceinfo)
#include "tst_deviceinfo.moc"
