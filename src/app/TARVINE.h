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

protected:
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void pollPorts();
    void addLanguageMenu();
    void addToolsMenu();
    void rememberPort();

    CenterWidget *m_centerWidget = nullptr;
    // Without Windows' device-change messages the port list is compared
    // when /dev changes (or, failing that, once a second) and refreshed only
    // when it changed.
    QFileSystemWatcher *m_devWatcher = nullptr;
    QTimer *m_portPoll = nullptr;
    QStringList m_knownPorts;
    QString m_storedPort; // as the settings hold it
};
