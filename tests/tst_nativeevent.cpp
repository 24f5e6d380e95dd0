// The main window's device-change rule (Windows): a WM_DEVICECHANGE with
// DBT_DEVNODES_CHANGED refreshes the port list and is taken; any other
// message is left to Windows and refreshes nothing.
#include "app/TARVINE.h"
#include "link/CenterWidget.h"

#include <QComboBox>
#include <QtTest>

#include <windows.h>

#include <dbt.h>

namespace {

// Opens the window's protected hook to the test.
class Window : public TARVINE
{
public:
    using TARVINE::nativeEvent;
};

// A port no machine has: it stays in the box until the list is refreshed.
const QString kStalePort = QStringLiteral("COM250");

} // namespace

class Tst_nativeevent : public QObject
{
    Q_OBJECT

private slots:
    void message_data();
    void message();
};

void Tst_nativeevent::message_data()
{
    QTest::addColumn<QByteArray>("eventType");
    QTest::addColumn<uint>("message");
    QTest::addColumn<qulonglong>("wParam");
    QTest::addColumn<bool>("taken");

    QTest::newRow("device nodes changed") << QByteArray("windows_generic_MSG") << uint(WM_DEVICECHANGE)
                                          << qulonglong(DBT_DEVNODES_CHANGED) << true;
    QTest::newRow("device arrival") << QByteArray("windows_generic_MSG") << uint(WM_DEVICECHANGE)
                                    << qulonglong(DBT_DEVICEARRIVAL) << false;
    QTest::newRow("device removal") << QByteArray("windows_generic_MSG") << uint(WM_DEVICECHANGE)
                                    << qulonglong(DBT_DEVICEREMOVECOMPLETE) << false;
    QTest::newRow("other message, same wParam") << QByteArray("windows_generic_MSG") << uint(WM_SETTINGCHANGE)
                                                << qulonglong(DBT_DEVNODES_CHANGED) << false;
    QTest::newRow("dispatcher event type") << QByteArray("windows_dispatcher_MSG") << uint(WM_DEVICECHANGE)
                                           << qulonglong(DBT_DEVNODES_CHANGED) << false;
}

void Tst_nativeevent::message()
{
    QFETCH(QByteArray, eventType);
    QFETCH(uint, message);
    QFETCH(qulonglong, wParam);
    QFETCH(bool, taken);

    Window window;
    auto *box = window.centerWidget()->findChild<QComboBox *>(QStringLiteral("m_comboBoxSerial"));
    QVERIFY(box);
    box->clear();
    box->addItem(kStalePort);
    box->setCurrentIndex(0);

    MSG msg = {};
    msg.message = message;
    msg.wParam = WPARAM(wParam);
    long result = 0x5A5A;
    QCOMPARE(window.nativeEvent(eventType, &msg, &result), taken);
    // Refreshed exactly when taken: the refresh drops the port no machine has.
    QCOMPARE(box->findText(kStalePort) < 0, taken);
    QCOMPARE(result, 0x5A5AL);
}

QTEST_MAIN(Tst_nativeevent)
#include "tst_nativeevent.moc"
