#include "devinfo/DeviceInfoWidget.h"

#include <QtTest>
#include <QtWidgets>

class Tst_deviceinfo : public QObject
{
    Q_OBJECT

    static QStringList fields(DeviceInfoWidget &page)
    {
        QStringList texts;
        for (const char *name :
             {"m_lineEditDevType", "m_lineEditHardwareVer", "m_lineEditFirmware", "m_lineEditProductNum"})
            texts << page.findChild<QLineEdit *>(name)->text();
        return texts;
    }
    static QLabel *label(DeviceInfoWidget &page, const char *name) { return page.findChild<QLabel *>(name); }

private slots:
    void deviceInfoReplacesAllFields_data()
    {
        QTest::addColumn<QStringList>("second");
        QTest::newRow("new values") << QStringList{"TV-485", "2.1.0", "3.0.12", "SN0000002"};
        QTest::newRow("empty texts") << QStringList{"", "", "", ""};
    }
    void deviceInfoReplacesAllFields()
    {
        QFETCH(QStringList, second);
        DeviceInfoWidget page;
        QCOMPARE(fields(page), (QStringList{"", "", "", ""}));
        const QStringList first{"转换器-CAN", "1.0.12", "1.2.3", "P20240001"};
        page.setDeviceInfo(first.at(0), first.at(1), first.at(2), first.at(3));
        QCOMPARE(fields(page), first);
        page.setDeviceInfo(second.at(0), second.at(1), second.at(2), second.at(3));
        QCOMPARE(fields(page), second);
    }

    void makerTexts()
    {
        DeviceInfoWidget page;
        QCOMPARE(label(page, "m_labelVer")->text(), QString("版本：1.0.0.1"));

        const QString company = label(page, "m_labelCompany")->text();
        QVERIFY(company.startsWith("<p/><div align=\"left\"><div align=\"left\"><p>"));
        QVERIFY(company.contains(
            QStringLiteral("版权所有 © %1 Morvane</p></div>").arg(QDate::currentDate().year())));

        QLabel *website = label(page, "m_labelWebsite");
        QVERIFY(website->text().startsWith("官网<style>a{text-decoration: none}</style>"));
        QVERIFY(website->text().endsWith(
            "<a href=\"https://www.morvane.example\">https://www.morvane.example</a>"));
        QCOMPARE(website->textFormat(), Qt::RichText);
        QVERIFY(website->openExternalLinks());
    }

    void logoAppearsOnPaint()
    {
        DeviceInfoWidget page;
        QLabel *logo = label(page, "m_labelLogo");
        QCOMPARE(logo->size(), QSize(186, 30));
        QVERIFY(logo->pixmap(Qt::ReturnByValue).isNull());

        page.grab();
        const QPixmap shown = logo->pixmap(Qt::ReturnByValue);
        QVERIFY(!shown.isNull());
        const QSize logical = shown.size() / shown.devicePixelRatio();
        QVERIFY(logical.width() <= 186 && logical.height() <= 30);
        QVERIFY(logical.width() == 186 || logical.height() == 30);

        // A later paint at the same size keeps the pixmap: replacing it
        // would schedule yet another paint.
        page.grab();
        QCOMPARE(logo->pixmap(Qt::ReturnByValue).cacheKey(), shown.cacheKey());
    }
};

QTEST_MAIN(Tst_deviceinfo)
#include "tst_deviceinfo.moc"
