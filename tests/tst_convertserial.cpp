#include <QtTest>

class Tst_convertserial : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_convertserial)
#include "tst_convertserial.moc"
