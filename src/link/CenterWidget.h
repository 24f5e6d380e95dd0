#pragma once

#include "files/BackupStore.h"
#include "protocol/Configuration.h"
#include "serial/SerialLine.h"

#include <QByteArray>
#include <QEventLoop>
#include <QJsonObject>
#include <QMainWindow>
#include <QMutex>
#include <QSet>
#include <QTimer>

#include <functional>

namespace Protocol {
struct Configuration;
}

class QAction;
class QCheckBox;
class ConvertParamWidget;
class SerialParamWidget;
class CanParamWidget;
class ModBusWidget;
class CanMappingWidget;
class DeviceInfoWidget;
class UpadteWidget;
class QAction;
class QDockWidget;
class TrafficLog;

namespace Ui {
class CenterWidgetClass;
}

// The heart of the tool: owns the one serial port, the connection controls
// and command buttons, and the seven pages. Link side (CenterWidget.cpp):
// port, handshake, send-and-wait, receive path. Command side
// (CenterWidgetCommands.cpp): page wiring, the read / write / restore
// sequences and reply routing. Files (files/ConfigFile.cpp): save and load.
// Backups (CenterWidgetBackup.cpp): what the device holds, kept as the file
// would store it, saved before each write; the "备份…" list.
//
// Every exchange is synchronous from its caller's view: the frame is
// written, then a nested event loop turns until the reply has been
// dispatched or 500 ms have passed. Only one exchange runs at a time: a
// sequence started while another waits is refused.
class CenterWidget : public QMainWindow
{
    Q_OBJECT

public:
    // Plain: no style sheets, for a window that is never shown (the
    // command-line tool): each table cell is then polished by the plain
    // style at a fraction of the cost. Looks are all a style sheet decides.
    enum class Looks { Styled, Plain };

    explicit CenterWidget(QWidget *parent = nullptr, Looks looks = Looks::Styled);
    ~CenterWidget() override;

    // Clears the port box and refills it from the ports present; a port
    // the user typed (or chose) that is still wanted stays selected.
    void refreshSerialPorts();
    // Chooses the port to open (the box is editable: any device path).
    void setPortName(const QString &name);
    // The port box lists this port among those present.
    bool listsPort(const QString &name) const;

    bool isConnected() const { return m_authenticated; }
    // True while a command waits for its reply or a sequence runs.
    bool isBusy() const { return m_busy || m_waitLoop.isRunning(); }

    static QByteArray sharedKey();
    // How long a command waits for its reply.
    static constexpr int ReplyTimeoutMs = 500;
    // The most the receive path keeps: replies are at most a few hundred
    // bytes; noise beyond this is dropped so that a flooded line cannot
    // grow memory.
    static constexpr int MaxReceiveBuffer = 4096;
    // The text of the box a port that would not open shows.
    static QString openFailureText(const SerialLine &port);

    // The receive path for bytes that arrived on the port: assembles them
    // into replies and dispatches each complete one. The port feeds it;
    // fuzzers and benchmarks feed it directly.
    void receiveBytes(const QByteArray &bytes);
    // For tests: a frame `refuse` answers true for is handled as one the
    // port would not take ("发送失败"), and nothing goes out.
    void setSendRefusal(std::function<bool(const QByteArray &frame)> refuse)
    {
        m_refuseSend = std::move(refuse);
    }

    // What went over the wire (TrafficLog.h), and the action that shows
    // and hides its panel ("通信记录", docked at the bottom, hidden at first).
    TrafficLog *trafficLog() const { return m_trafficLog; }
    QAction *trafficLogAction() const;

public slots:
    void on_Connectpushbutton(bool checked = false);
    void on_readconfiguration();
    void on_Writepushbutton();
    void on_Defaultpushbutton();
    void on_SaveFilepushbutton();
    void on_OpenFilepushbutton();
    void onCanMappingEnable(bool enable);
    void on_Changemode(int mode);
    void on_intermediateFunction(int index);

public:
    // The file work behind the two file buttons, without their dialogs.
    void saveConfiguration(const QString &fileName);
    void loadConfiguration(const QString &fileName);
    // The frame `command` would send now, built from the pages exactly as
    // the command builds it; empty where a page refuses its block. Sends
    // nothing: tools use it to compare a device with a file.
    QByteArray configFrame(quint8 command);
    // The blocks a write would send now, decoded, after the write's own
    // checks (a refusal shows the write's boxes and gives false). Sends
    // nothing.
    bool pagesConfiguration(Protocol::Configuration *blocks);
    // The frames "写配置" would send now, in its order, after its own
    // checks (a refusal shows the write's boxes and gives false). Sends
    // nothing.
    bool writeFrames(QList<QByteArray> *frames);
    // Leaves the pages as a connect to the device that gave these replies
    // would leave them (its device information and the full read's five
    // replies, in the read's order), without a port: a tool that talked to
    // the device itself learns here what the window would write to it.
    void takeConnectReplies(const QByteArray &deviceInfoReply, const QList<QByteArray> &readReplies);
    // Where a copy of what the device holds is saved before each write;
    // empty (the default) takes no backups. The main window sets it.
    void setBackupFolder(const QString &folder) { m_backups = BackupStore(folder); }
    QString backupFolder() const { return m_backups.folder(); }
    // "备份…": lists the backups and loads the one chosen into the pages.
    QAction *backupsAction() const { return m_backupsAction; }
    // The port as the port box names it.
    QString portName() const;

    // Sends the frames of a full read and decodes the replies into
    // `device`, leaving every page as it is. False, with `device`
    // untouched, when the link is busy or down or a reply is missing.
    bool readDeviceConfiguration(Protocol::Configuration *device);

    // Comparing before a write, verifying after it (CenterWidgetCompare.cpp).
    // "与设备比较", enabled only while connected, and "与文件比较".
    QAction *compareDeviceAction() const { return m_compareDeviceAction; }
    QAction *compareFileAction() const { return m_compareFileAction; }
    // "写入后校验": off unless the window turns it on (it remembers the choice).
    QCheckBox *verifyAfterWriteBox() const;
    // Lists where the device's configuration differs from the window's;
    // changes no page.
    void compareWithDevice();
    // Asks for a configuration file and lists where it differs from the
    // window, as a load and a write would take it; changes no page.
    void compareWithFile();
signals:
    // A connect succeeded: the device answered the challenge.
    void connected();

private slots:
    void handleReadyRead();
    void onReplyTimeout();
    void onPortError(SerialLine::Error error);
    void sendFrame(const QByteArray &frame);

private:
    // Link side.
    void openPort();
    void closeConnection();
    void setPagesEnabled(bool enable);
    // False when the frame could not be built (a page refused its block):
    // nothing was sent.
    bool sendCommand(quint8 code);
    void sendAndWait(const QByteArray &frame, bool logFrame);
    // Takes the complete reply at the front of the receive buffer.
    bool takeReply(QByteArray &reply);
    bool answersOutstanding(const QByteArray &reply) const;
    // Empties the receive buffer; what it held goes to the traffic log.
    void discardReceived();
    void verifyChallenge(const QByteArray &reply);

    // Command side.
    void createPages(Looks looks);
    void connectPages();
    bool buildConfigFrame(quint8 code, QByteArray &frame);
    void runReadSequence();
    // What every full read ends with: the CAN mode read narrows the pages.
    void finishReadSequence();
    void dispatchReply(const QByteArray &reply);
    void parseDeviceInfo(const QByteArray &reply);

    // Compare side.
    void createCompareTools();
    // With "写入后校验" on, reads a write acknowledged whole back and
    // announces it only when the device holds what it sent.
    void finishWriteVerification();
    // No difference: `sameTitle` / `sameText` in a box; else the list.
    void showComparison(const QVector<Protocol::Difference> &found, const QString &sameTitle,
                        const QString &sameText, const QString &listTitle, const QString &otherColumn);
    // Backups.
    QJsonObject pagesJson() const;
    void forgetDeviceConfiguration();
    void noteReadCompleted();
    // Saves what the device holds before a write. Never stops the write:
    // when no backup can be taken, the traffic log says why.
    void backupBeforeWrite();
    void noteNoBackup(const QString &why);
    void noteReadReply(const QByteArray &reply);
    void noteWriteAcknowledged();
    void openBackups();

    Ui::CenterWidgetClass *ui;
    SerialLine *m_serialPort = nullptr;

    ConvertParamWidget *m_convertPage = nullptr;
    SerialParamWidget *m_serialPage = nullptr;
    CanParamWidget *m_canPage = nullptr;
    ModBusWidget *m_modbusPage = nullptr;
    CanMappingWidget *m_mappingPage = nullptr;
    DeviceInfoWidget *m_deviceInfoPage = nullptr;
    UpadteWidget *m_updatePage = nullptr;

    QByteArray m_rxBuffer;
    QByteArray m_challenge;
    QTimer *m_replyTimer = nullptr;
    QEventLoop m_waitLoop;
    QByteArray m_lastReply;
    quint8 m_awaitedReply = 0; // command byte that answers the request outstanding
    quint8 m_awaitedPhase = 0; // and, for a firmware packet, its phase
    QMutex m_rxMutex;
    std::function<bool(const QByteArray &)> m_refuseSend;
    // Frames of the last write the device has not acknowledged yet.
    QSet<quint8> m_unacknowledged;
    // While set, configuration replies are decoded into it, not shown.
    Protocol::Configuration *m_capture = nullptr;
    TrafficLog *m_trafficLog = nullptr;
    QDockWidget *m_trafficLogDock = nullptr;

    bool m_authenticated = false;
    bool m_portOpened = false;
    bool m_readChainOk = true;
    bool m_showReadResult = true;
    bool m_sendModbusBlocks = false;
    bool m_busy = false;

    QAction *m_compareDeviceAction = nullptr;
    QAction *m_compareFileAction = nullptr;
    // The write running (or last run) is read back before it counts as done:
    // its acknowledgement alone announces nothing.
    bool m_verifyingWrite = false;
    Protocol::Configuration m_written; // the frames of the last write, as values
    // Set in a scratch widget that only takes a file in to compare it: a
    // load that takes the file says so here, not in a box.
    bool *m_quietLoadTaken = nullptr;
    BackupStore m_backups{QString()};
    QAction *m_backupsAction = nullptr;
    // What the device holds, as the configuration file stores it: the pages
    // at the end of the last complete read, or at the send of the last write
    // acknowledged whole since. Empty while not known.
    QJsonObject m_deviceJson;
    // Its text, made when a backup first needs it: a connect that no write
    // follows never pays for it.
    QByteArray m_deviceText;
    Protocol::Configuration m_deviceBlocks; // and as the device's values
    Protocol::Configuration m_readBlocks;   // the replies of the read under way
    bool m_sentPending = false;             // a write went out, not yet acknowledged whole
    QString m_deviceProduct; // from this connection's device information
};
