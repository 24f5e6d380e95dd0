#pragma once

#include <QMainWindow>
#include <QStringList>

class CenterWidget;
class QFileSystemWatcher;
class QTimer;

// The main window: hosts the central widget and keeps its serial-port list
// current as adapters come and go; remembers the last port and its own
// size between runs. It stores nothing about a device.
class TARVINE : public QMainWindow
{
    Q_OBJECT

public:
    explicit TARVINE(QWidget *parent = nullptr);
    ~TARVINE() override;

    CenterWidget *centerWidget() const { return m_centerWidget; }
    // Shows the panels the user left shown in the last session and keeps
    // their state in the window settings from now on. Only the program
    // calls it: a window built by a test or a tool leaves the settings alone.
    void restorePanels();

protected:
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void pollPorts();
    void addLanguageMenu();
    void addToolsMenu();
    void bindVerifyOption();
    void rememberPort();

    CenterWidget *m_centerWidget = nullptr;
    // Without Windows' device-change messages the port list is compared
    // when /dev changes (or, failing that, once a second) and refreshed only
    // when it changed.
    QFileSystemWatcher *m_devWatcher = nullptr;
    QTimer *m_portPoll = nullptr;
    QStringList m_knownPorts;
    QMetaObject::Connection m_panelStore;
    QString m_storedPort; // as the settings hold it
};
