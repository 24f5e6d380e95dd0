#include <QtTest>

class Tst_frames : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(Tst_frames)
#include "tst_frames.moc"
