#include <QtTest>

class Tst_commands : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_commands)
#include "tst_commands.moc"
