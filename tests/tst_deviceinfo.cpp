#include "devinfo/DeviceInfoWidget.h"

#include <QtTest>
#include <QtWidgets>

class Tst_deviceinfo : public QObject
{
    Q_OBJECT

    static QStringList fields(DeviceInfoWidget &page)
    {
        QStringList texts;
        for (auto name : {"m_lineEditDevType", "m_lineEditHardwareVer", "m_lineEditFirmware", "m_lineEditProductNum"})
            texts << page.findChild<QLineEdit *>(name)->text();
        return texts;
    }
    static QLabel *label(DeviceInfoWidget &page, const char *name) { return page.findChild<QLabel *>(name); }

private slots:
    void deviceInfoReplacesAllFields()
    {
        DeviceInfoWidget page;
        const QStringList first{"转换器-CAN", "1.0.12", "1.2.3", "P20240001"};
        page.setDeviceInfo(first.at(0), first.at(1), first.at(2), first.at(3));
        QCOMPARE(fields(page), first);
        page.setDeviceInfo("TV-485", "", "", "");  // later texts replace every field, empty ones too
        QCOMPARE(fields(page), (QStringList{"TV-485", "", "", ""}));
    }

    void makerTexts()
    {
        DeviceInfoWidget page;
        QCOMPARE(label(page, "m_labelVer")->text(), QString("版本：1.0.0.1"));
        QVERIFY(label(page, "m_labelCompany")->text().startsWith("<p/><div align=\"left\"><div align=\"left\"><p>"));
        QVERIFY(label(page, "m_labelCompany")->text().contains(QStringLiteral("版权所有 © %1 Morvane</p></div>").arg(QDate::currentDate().year())));
        QLabel *website = label(page, "m_labelWebsite");
        QCOMPARE(website->text(), QString("官网<style>a{text-decoration: none}</style>"
                                          "<a href=\"https://www.morvane.example\">https://www.morvane.example</a>"));
        QVERIFY(website->openExternalLinks());
    }

    void logoAppearsOnPaint()
    {
        DeviceInfoWidget page;
        QLabel *logo = label(page, "m_labelLogo");
        QVERIFY(logo->pixmap(Qt::ReturnByValue).isNull());
        page.grab();
        const QPixmap shown = logo->pixmap(Qt::ReturnByValue);
        const QSize logical = shown.size() / shown.devicePixelRatio();
        // Scaled to fit 186x30, keeping its aspect.
        QVERIFY(!shown.isNull() && logical.boundedTo({186, 30}) == logical && (logical.width() == 186 || logical.height() == 30));
        // A later paint at the same size keeps the pixmap: replacing it
        // would schedule yet another paint.
        page.grab();
        QCOMPARE(logo->pixmap(Qt::ReturnByValue).cacheKey(), shown.cacheKey());
    }
};

QTEST_MAIN(Tst_deviceinfo)
#include "tst_deviceinfo.moc"
