#include "FeatureShots.h"

#include "Pictures.h"
#include "SimConverter.h"
#include "app/TARVINE.h"
#include "link/CenterWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDockWidget>
#include <QFile>
#include <QTabWidget>
#include <QTextStream>
#include <QTreeWidget>

namespace {

bool complain(const QString &what)
{
    QTextStream(stderr) << what << "\n";
    return false;
}

QString picturePath(const Shooting &s, const char *name)
{
    return s.out.filePath(QLatin1String(name) + QStringLiteral(".png"));
}

void showTab(const Shooting &s, int index)
{
    s.tabs->setCurrentIndex(index);
    settle();
}

} // namespace

bool shootTrafficLog(const Shooting &s)
{
    // Taller by the panel's height, so that the pages keep their room and
    // a few dozen lines of the connect, write and read show beneath them.
    const int panelHeight = 600;
    const QSize size = s.window->size();
    s.window->resize(size.width(), size.height() + panelHeight - 100);
    s.center->trafficLogAction()->trigger();
    settle();
    auto *panel = s.center->findChild<QDockWidget *>(QStringLiteral("trafficLogDock"));
    s.center->resizeDocks({panel}, {panelHeight}, Qt::Vertical);
    showTab(s, 0);
    // The panel follows the log on a timer of its own.
    wait(400);
    const bool ok = save(s.window->grab(), picturePath(s, "10-traffic-log"));
    s.center->trafficLogAction()->trigger();
    s.window->resize(size);
    settle();
    return ok;
}

bool shootCompare(const Shooting &s)
{
    // A serial bit rate, a CAN bit rate and a receive mapping row changed
    // in the window, as a user would before writing them.
    QByteArray changed = s.configuration;
    changed.replace(R"("Baudrate": 8)", R"("Baudrate": 6)")
        .replace(R"("Arbitrationarea": 11)", R"("Arbitrationarea": 9)")
        .replace("2,7ff,200,0,", "2,7fe,200,0,");
    const QString path = s.scratch.filePath(QStringLiteral("changed.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(changed) != changed.size())
        return complain(QStringLiteral("cannot write ") + path);
    file.close();
    s.center->loadConfiguration(path);
    showTab(s, 1);

    bool ok = true;
    {
        DialogShot shot(s.window, QStringLiteral("differencesDialog"));
        s.center->compareDeviceAction()->trigger();
        ok = shot.taken() ? save(shot.picture(), picturePath(s, "11-compare"))
                          : complain(QStringLiteral("no differences listed"));
    }
    // Written, so that the device holds them and the write leaves a backup
    // (a little later than the first, as a user's would be).
    wait(1500);
    s.center->on_Writepushbutton();
    return ok;
}

bool shootVerifyFailed(const Shooting &s)
{
    showTab(s, 2);
    s.center->verifyAfterWriteBox()->setChecked(true);
    s.sim->setMisstore(true);
    wait(1500);
    bool ok = true;
    {
        DialogShot shot(s.window, QStringLiteral("differencesDialog"));
        s.center->on_Writepushbutton();
        ok = shot.taken() ? save(shot.picture(), picturePath(s, "12-verify-failed"))
                          : complain(QStringLiteral("no verification failure listed"));
    }
    s.sim->setMisstore(false);
    s.center->verifyAfterWriteBox()->setChecked(false);
    settle();
    return ok;
}

bool shootBackups(const Shooting &s)
{
    showTab(s, 0);
    s.center->backupsAction()->trigger();
    settle();
    auto *dialog = s.center->findChild<QDialog *>(QStringLiteral("backupsDialog"));
    if (!dialog || !dialog->isVisible())
        return complain(QStringLiteral("no backups list"));
    auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("backupsList"));
    if (!list || list->topLevelItemCount() < 2)
        return complain(QStringLiteral("fewer than two backups listed"));
    // The newest chosen, as a user about to load it back sees the list.
    list->setCurrentItem(list->topLevelItem(0));
    settle();
    const bool ok = save(withDialog(s.window, dialog), picturePath(s, "13-backups"));
    dialog->reject();
    settle();
    return ok;
}
