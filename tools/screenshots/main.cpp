// tarvine-screenshots OUTDIR [--lang en]: connects the tool to an in-process stand-in
// converter, loads a configuration with filters, mapping rows and the
// heartbeat on, writes and reads it back, and saves a picture of each tab,
// of a message box, of the "工具" features (FeatureShots.cpp) and of a
// firmware update under way. Settings and backups go to folders of its own.
#include "FeatureShots.h"
#include "Pictures.h"
#include "SimConverter.h"
#include "app/Language.h"
#include "app/TARVINE.h"
#include "common/MessageBox.h"
#include "link/CenterWidget.h"
#include "pages/CanParamWidget.h"
#include "update/UpadteWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

const char kConfiguration[] = R"({
    "CANMap": {
        "sendMap": ["2,0,1,2,15,1fffffff,40000,", "2,0,0,1,8,7ff,10,", "2,0,0,0,7,123,20,"],
        "recMap": ["2,18ff50e5,100,3,", "2,123,104,31,", "2,7ff,200,0,"]
    },
    "CANParam": {
        "CANStandard": 0, "Agreement": 1, "frameType": 1, "speed": 1, "sendID": "18ff50e5",
        "Arbitrationarea": 11, "Dataarea": 8, "NumberFilters": 3,
        "frametype_0": 0, "Filterstype_0": 0, "IDaddress_0": "123", "Taddress_0": "00",
        "frametype_1": 1, "Filterstype_1": 2, "IDaddress_1": "18ff0000", "Taddress_1": "1fffffff",
        "frametype_2": 1, "Filterstype_2": 1, "IDaddress_2": "100", "Taddress_2": "1ff"
    },
    "ConvertParam": {
        "convertMode": 4, "convertDirect": 0, "forwardInfo": 0, "forwartID": 0,
        "posOffset": 0, "len": 1, "interval": 2, "intervalCAN": 10
    },
    "ModBusParam": {
        "Type": 2, "heartEnable": 1, "interval": "500", "frameFormat": 0, "frameType": 1, "dataLen": 9,
        "CANID": "1abcdef0", "Data": "11 22 33 44 55 66 77 88 99 aa bb cc", "Addr": "0a"
    },
    "SerialParam": {
        "SerialMode": 3, "Baudrate": 8, "dataBit": 0, "stopBit": 0, "oddEvenCheck": 0,
        "Baudrate_2": 3, "dataBit_2": 0, "stopBit_2": 0, "oddEvenCheck_2": 2
    }
})";

const char *const kTabFiles[] = {"1-convert", "2-serial", "3-can", "4-modbus", "5-mapping", "6-device-info",
                                 "7-firmware"};

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    // The window's settings (its size among them) and backups are the test
    // folders', so that every run shows the same window and none is the user's.
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QLoggingCategory::setFilterRules(QStringLiteral("tarvine.link.debug=false"));
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2 || arguments.at(1).startsWith(QLatin1String("--"))) {
        QTextStream(stderr) << "usage: tarvine-screenshots OUTDIR [--lang en]\n";
        return 2;
    }
    if (!setLanguage(languageFromArguments(arguments))) {
        QTextStream(stderr) << "no English catalogue in the program\n";
        return 1;
    }
    const QDir out(arguments.at(1));
    QDir().mkpath(out.path());

    SimConverter sim;
    if (!sim.open()) {
        QTextStream(stderr) << "cannot open a pseudo-terminal: " << sim.errorString() << "\n";
        return 1;
    }
    QTemporaryDir dir;
    TARVINE window;
    CenterWidget *center = window.centerWidget();
    center->setBackupFolder(dir.filePath(QStringLiteral("backups")));
    center->setPortName(sim.portName());
    window.show();
    settle();

    // Boxes are answered at once while the tool connects and works.
    QStringList messages;
    setMessageObserver([&messages](const MessageRecord &r) { messages << r.text; });
    center->on_Connectpushbutton();
    const QString configPath = dir.filePath(QStringLiteral("configuration.txt"));
    QFile config(configPath);
    config.open(QIODevice::WriteOnly);
    config.write(kConfiguration);
    config.close();
    center->loadConfiguration(configPath);
    // Filtering on, so that the filter table shows as in use.
    center->findChild<CanParamWidget *>()->findChild<QCheckBox *>(QStringLiteral("checkBox"))->setChecked(true);
    center->on_Writepushbutton();
    center->on_readconfiguration();
    if (!center->isConnected()) {
        QTextStream(stderr) << "not connected: " << messages.join(QStringLiteral(" / ")) << "\n";
        return 1;
    }

    auto *tabs = center->findChild<QTabWidget *>(QStringLiteral("m_tabWidgetDevInfo"));
    bool ok = true;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        settle();
        ok &= save(window.grab(), out.filePath(QLatin1String(kTabFiles[i]) + QStringLiteral(".png")));
    }

    // A message box over the window, as the user sees it after a write.
    tabs->setCurrentIndex(0);
    settle();
    {
        // Parented like the tool's own boxes, so it wears the same style.
        QMessageBox box(QMessageBox::Information, QCoreApplication::translate("CenterWidget", "成功"),
                        QCoreApplication::translate("CenterWidget", "写配置成功"), QMessageBox::Ok, center);
        box.show();
        settle();
        ok &= save(withDialog(&window, &box), out.filePath(QStringLiteral("8-message-box.png")));
    }

    // The "工具" features. The writes among them leave the backups that
    // the last one lists.
    const Shooting shooting{&window, center, tabs, &sim, QByteArray(kConfiguration), out, QDir(dir.path())};
    ok &= shootTrafficLog(shooting);
    ok &= shootCompare(shooting);
    ok &= shootVerifyFailed(shooting);
    ok &= shootBackups(shooting);

    // A firmware update half way, on a line as slow as the real one.
    tabs->setCurrentIndex(6);
    settle();
    const QString imagePath = dir.filePath(QStringLiteral("firmware.bin"));
    QFile image(imagePath);
    image.open(QIODevice::WriteOnly);
    image.write(QByteArray(64 * 1024, '\x5A'));
    image.close();
    sim.setPacing(true);
    auto *progress = center->findChild<UpadteWidget *>()->findChild<QProgressBar *>(QStringLiteral("progressBar"));
    bool taken = false;
    QObject::connect(progress, &QProgressBar::valueChanged, [&](int value) {
        if (taken || value < 50)
            return;
        taken = true;
        // Once the bar has taken its new value (the page paints it from
        // the event loop, while the next packet is on the line).
        QTimer::singleShot(0, &window, [&] {
            settle();
            ok &= save(window.grab(), out.filePath(QStringLiteral("9-firmware-update.png")));
        });
    });
    center->findChild<UpadteWidget *>()->startUpdate(imagePath);
    ok &= taken;
    return ok ? 0 : 1;
}
