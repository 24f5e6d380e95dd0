#include "FuzzSupport.h"

#include "common/MessageBox.h"
#include "link/CenterWidget.h"
#include "protocol/ConfigFrame.h"

#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
QApplication *application = nullptr;
QTemporaryDir *scratch = nullptr;
CenterWidget *widget = nullptr;

// As large as the receive path keeps; command byte 0x47 is no reply's.
constexpr int kReceiveBufferSize = 4096;
constexpr char kUnusedCommand = 0x47;
} // namespace

namespace FuzzSupport {

void initialise(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every frame is logged at debug level: far too slow for millions of runs.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\nqt.*=false"));
    application = new QApplication(*argc, *argv); // lives for the whole run
    setMessageObserver([](const MessageRecord &) {});
    // Saving syncs the file to disk; in memory that costs nothing.
    const QString shm = QStringLiteral("/dev/shm");
    scratch = QFileInfo(shm).isWritable() ? new QTemporaryDir(shm + QStringLiteral("/tarvine-fuzz-XXXXXX"))
                                          : new QTemporaryDir();
    widget = new CenterWidget();
    std::atexit([] {
        delete widget;
        delete scratch;
    });
}

QString scratchPath(const char *name)
{
    return scratch->filePath(QString::fromLatin1(name));
}

CenterWidget &centerWidget()
{
    return *widget;
}

void flushReceiveBuffer(CenterWidget &target)
{
    static const QByteArray flush = [] {
        QByteArray frame = ConfigFrame::header(quint8(kUnusedCommand));
        frame.append(QByteArray(kReceiveBufferSize - 2 - frame.size(), '\0'));
        ConfigFrame::appendCrc(frame);
        return frame;
    }();
    target.receiveBytes(flush);
}

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace FuzzSupport
