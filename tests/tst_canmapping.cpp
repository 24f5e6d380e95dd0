#include <QtTest>

class Tst_canmapping : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_canmapping)
#include "tst_canmapping.moc"
