#include "app/TARVINE.h"

#include "app/Language.h"
#include "app/WindowSettings.h"
#include "common/AppResources.h"
#include "common/MessageBox.h"
#include "link/CenterWidget.h"
#include "serial/SerialLine.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileSystemWatcher>
#include <QIcon>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#include <dbt.h>
#endif

namespace {

QStringList presentPorts()
{
    QStringList names;
    for (const SerialLine::PortInfo &info : SerialLine::availablePorts())
        names << info.name;
    return names;
}

} // namespace

TARVINE::TARVINE(QWidget *parent) : QMainWindow(parent)
{
    ensureAppResources();
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("TARVINEClass"));
    resize(607, 407);
    setStyleSheet(QString());

    auto *placeholder = new QWidget(this);
    placeholder->setObjectName(QStringLiteral("centralwidget"));
    setCentralWidget(placeholder);
    setWindowTitle(QCoreApplication::translate("TARVINEClass", " TARVINE-Morvane"));

    m_centerWidget = new CenterWidget();
    setCentralWidget(m_centerWidget);
    setWindowIcon(QIcon(QStringLiteral(":/TARVINE/Resources/app.ico")));
    addLanguageMenu();
    addToolsMenu();
    bindVerifyOption();
    // Backups go with the user's local application data, in a folder named
    // after the tool whatever its program file is called: on Windows
    // %LOCALAPPDATA%\tarvine\backups, on Linux ~/.local/share/tarvine/backups.
    m_centerWidget->setBackupFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                    QStringLiteral("/tarvine/backups"));
    m_centerWidget->refreshSerialPorts();
    // The port of the last successful connect, when it is there; a port
    // that is gone would only fail to open: the list's own choice stands.
    m_storedPort = storedLastPort();
    if (!m_storedPort.isEmpty() && m_centerWidget->listsPort(m_storedPort))
        m_centerWidget->setPortName(m_storedPort);
    connect(m_centerWidget, &CenterWidget::connected, this, &TARVINE::rememberPort);
    // Where the pages need more room than the classic size, give it to them
    // from the start rather than squeezing the CAN filter table. A size the
    // user left the window at wins, within the screen it opens on.
    const QSize stored = storedWindowSize();
    if (stored.isValid())
        resize(screen() ? stored.boundedTo(screen()->availableGeometry().size()) : stored);
    else
        resize(size().expandedTo(sizeHint()));

#ifndef Q_OS_WIN
    // Serial adapters come and go as nodes in /dev: look at the ports only
    // when that folder changes. Listing the ports is costly (it asks the
    // device manager about every node), too costly to do every second on
    // the thread that also serves the link. Where /dev cannot be watched,
    // look once a second instead.
    m_knownPorts = presentPorts();
    m_devWatcher = new QFileSystemWatcher(this);
    if (m_devWatcher->addPath(QStringLiteral("/dev"))) {
        connect(m_devWatcher, &QFileSystemWatcher::directoryChanged, this, &TARVINE::pollPorts);
    } else {
        m_portPoll = new QTimer(this);
        m_portPoll->setInterval(1000);
        connect(m_portPoll, &QTimer::timeout, this, &TARVINE::pollPorts);
        m_portPoll->start();
    }
#endif
}

TARVINE::~TARVINE()
{
    // Tearing the window down hides its panels: that is no choice of the user's.
    disconnect(m_panelStore);
}

void TARVINE::addToolsMenu()
{
    QMenu *menu = menuBar()->addMenu(tr("工具"));
    menu->setObjectName(QStringLiteral("toolsMenu"));
    menu->addAction(m_centerWidget->trafficLogAction());
    menu->addSeparator();
    menu->addAction(m_centerWidget->compareDeviceAction());
    menu->addAction(m_centerWidget->compareFileAction());
    menu->addSeparator();
    menu->addAction(m_centerWidget->backupsAction());
}

void TARVINE::restorePanels()
{
    QAction *trafficLog = m_centerWidget->trafficLogAction();
    if (storedTrafficLogVisible())
        trafficLog->trigger();
    // Toggled, not triggered: the dock's own close button hides it too.
    m_panelStore = connect(trafficLog, &QAction::toggled, this, &storeTrafficLogVisible);
}

void TARVINE::addLanguageMenu()
{
    QMenu *menu = menuBar()->addMenu(tr("语言"));
    menu->setObjectName(QStringLiteral("languageMenu"));
    auto *group = new QActionGroup(menu);
    // Each language is named in itself, so that a user who cannot read the
    // current one still finds their own.
    const struct
    {
        Language language;
        const char *objectName;
        QString name;
    } choices[] = {{Language::Chinese, "languageChinese", QStringLiteral("中文")},
                   {Language::English, "languageEnglish", QStringLiteral("English")}};
    for (const auto &choice : choices) {
        QAction *action = menu->addAction(choice.name);
        action->setObjectName(QLatin1String(choice.objectName));
        action->setCheckable(true);
        action->setChecked(choice.language == currentLanguage());
        group->addAction(action);
        const Language language = choice.language;
        connect(action, &QAction::triggered, this, [this, language] {
            const bool changed = language != currentLanguage();
            storeLanguage(language);
            // Every caption was translated when it was built: the new
            // language shows from the next start.
            if (changed)
                showMessageBox(QMessageBox::Information, this, tr("语言"), tr("语言将在重新启动后切换。"));
        });
    }
}

void TARVINE::bindVerifyOption()
{
    // A window preference: the central widget alone (as the command line
    // drives it) never verifies unless told to.
    QCheckBox *verify = m_centerWidget->verifyAfterWriteBox();
    verify->setChecked(storedVerifyAfterWrite());
    connect(verify, &QCheckBox::toggled, this, &storeVerifyAfterWrite);
}

void TARVINE::rememberPort()
{
    // Written only when it changed: a reconnect to the same port costs
    // nothing.
    const QString port = m_centerWidget->portName();
    if (port == m_storedPort)
        return;
    storeLastPort(port);
    m_storedPort = port;
}

void TARVINE::closeEvent(QCloseEvent *event)
{
    // The size to come back to, not a maximised window's.
    storeWindowSize(isMaximized() || isFullScreen() ? normalGeometry().size() : size());
    QMainWindow::closeEvent(event);
}

void TARVINE::pollPorts()
{
    const QStringList now = presentPorts();
    if (now == m_knownPorts)
        return;
    m_knownPorts = now;
    m_centerWidget->refreshSerialPorts();
}

bool TARVINE::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
#ifdef Q_OS_WIN
    if (eventType != "windows_generic_MSG")
        return QMainWindow::nativeEvent(eventType, message, result);
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message == WM_DEVICECHANGE && msg->wParam == DBT_DEVNODES_CHANGED) {
        m_centerWidget->refreshSerialPorts();
        return true;
    }
    return false;
#else
    return QMainWindow::nativeEvent(eventType, message, result);
#endif
}
