#pragma once

#include "SimConverter.h"
#include "common/MessageBox.h"

#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVector>

#include <functional>
#include <memory>

class TARVINE;
class CenterWidget;
class UpadteWidget;

// What crossed the line during one timed operation.
struct RunResult
{
    double seconds = 0;
    qint64 lineBytes = 0; // both directions
    int exchanges = 0;    // frames the converter received
    QList<quint8> commands; // configuration commands among them, in order
    SimConverter::PacingStats pacing; // how late the converter finished its replies
    bool ok = false;      // the tool reported success and the device agrees
};

// The tool's main window on the GUI thread and the stand-in converter on a
// thread of its own, joined by a real pseudo-terminal. Every operation is
// driven through the tool's own slots and runs to its end before returning;
// message boxes are answered at once and kept for the success check.
class BenchRig
{
public:
    BenchRig();
    ~BenchRig();

    void setPacing(bool on);
    // Shows or hides the traffic log panel ("通信记录") as its menu entry does.
    void setTrafficLogShown(bool shown);
    // Device configuration with every table full: mode "MODBUS从站", 32 send
    // and 32 receive mappings, 28 acceptance filters.
    void seedFullConfiguration();

    RunResult connectDevice();
    RunResult disconnectDevice();
    RunResult writeConfiguration();
    RunResult restoreDefaults();
    RunResult updateFirmware(const QString &imagePath, const QByteArray &image);

    bool isConnected() const;
    // The full configuration as the tool saves it after reading it from
    // the device (unpaced; leaves the tool disconnected).
    void saveFullConfiguration(const QString &path);

    // Round trips through the pseudo-terminal with no tool in between, in
    // µs: a request written on this thread, the converter's reply read back
    // on this thread's event loop. Run while the tool is disconnected.
    QVector<double> transportRoundTrips(int count);

private:
    // Runs `work` in the converter's thread and waits for it.
    void onSim(const std::function<void()> &work);
    RunResult timed(const std::function<void()> &operation, const QString &expectedBox);

    QThread m_simThread;
    QObject *m_simContext = nullptr; // lives in m_simThread
    SimConverter *m_sim = nullptr;   // lives in m_simThread
    std::unique_ptr<TARVINE> m_window;
    CenterWidget *m_center = nullptr;
    UpadteWidget *m_updatePage = nullptr;
    QStringList m_boxes;
};
