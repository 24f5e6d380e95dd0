#include <QtTest>

class Tst_sm4 : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_sm4)
#include "tst_sm4.moc"
