// Configuration files across systems: a file is written with the system's
// own line ends (CR LF on Windows, LF elsewhere), and a file with either
// loads to the same pages and the same frames. No device is needed.
#include "KnownConfiguration.h"
#include "common/MessageBox.h"
#include "link/CenterWidget.h"

#include <QTemporaryDir>
#include <QtTest>

class Tst_filelines : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_boxes;

private slots:
    void initTestCase()
    {
        setMessageObserver([this](const MessageRecord &box) { m_boxes << box.title + QLatin1Char('|') + box.text; });
    }
    void cleanupTestCase() { setMessageObserver({}); }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("LF, as Linux saves") << QByteArray(kKnownConfiguration);
        QTest::newRow("CR LF, as Windows saves") << withCrLf(kKnownConfiguration);
    }

    // Loaded, the file sets the pages; saved again, it comes back whole in
    // this system's line ends; a write would send the frames the LF file
    // gives.
    void lineEnds()
    {
        QFETCH(QByteArray, file);
        const QString in = m_dir.filePath(QStringLiteral("in.txt"));
        const QString out = m_dir.filePath(QStringLiteral("out.txt"));
        QFile source(in);
        QVERIFY(source.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(source.write(file), qint64(file.size()));
        source.close();

        CenterWidget reference(nullptr, CenterWidget::Looks::Plain);
        CenterWidget center(nullptr, CenterWidget::Looks::Plain);
        const QString lf = m_dir.filePath(QStringLiteral("lf.txt"));
        QFile lfFile(lf);
        QVERIFY(lfFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lfFile.write(kKnownConfiguration);
        lfFile.close();
        reference.loadConfiguration(lf);

        m_boxes.clear();
        center.loadConfiguration(in);
        center.saveConfiguration(out);
        QCOMPARE(m_boxes.size(), 2);
        QVERIFY2(m_boxes.last().startsWith(QStringLiteral("成功|")), qPrintable(m_boxes.join(QLatin1Char('\n'))));

        QFile saved(out);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), knownConfigurationAsSaved());

        QList<QByteArray> frames, expected;
        QVERIFY(reference.writeFrames(&expected));
        QVERIFY(center.writeFrames(&frames));
        QVERIFY(!frames.isEmpty());
        QCOMPARE(frames, expected);
    }
};

QTEST_MAIN(Tst_filelines)
#include "tst_filelines.moc"
