#include "devinfo/DeviceInfoWidget.h"

#include <QtTest>
#include <QtWidgets>

class Tst_deviceinfo : public QObject
{
    Q_OBJECT

private slots:
    void logoAppearsOnPaint()
    {
        DeviceInfoWidget page;
        QLabel *logo = page.findChild<QLabel *>("m_labelLogo");
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
