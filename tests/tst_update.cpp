#include <QtTest>

class Tst_update : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_update)
#include "tst_update.moc"
