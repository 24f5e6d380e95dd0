#include <QtTest>

class Tst_link : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_link)
#include "tst_link.moc"
