#include <QtTest>

class Tst_canparam : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_canparam)
#include "tst_canparam.moc"
