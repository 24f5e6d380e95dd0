#include <QtTest>

class Tst_configfile : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_configfile)
#include "tst_configfile.moc"
