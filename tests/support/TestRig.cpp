#include "TestRig.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every test program that links the rig keeps away from the user's own
// settings and backups: its settings live in a folder of this process
// alone, so programs running side by side never see each other's. (On
// Windows the system's own store is the registry, which no path moves: the
// settings go to an INI file there.)
void keepOffUserFiles()
{
    QStandardPaths::setTestModeEnabled(true);
    static QTemporaryDir settings;
#ifdef Q_OS_WIN
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
#else
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
#endif
}
Q_COREAPP_STARTUP_FUNCTION(keepOffUserFiles)

} // namespace

TestRig::TestRig()
    : m_sim(std::make_unique<SimConverter>()),
      m_boxes(std::make_unique<BoxRecorder>()), m_window(std::make_unique<TARVINE>())
{
    if (!m_sim->open())
        qFatal("the stand-in converter cannot open its line: %s", qPrintable(m_sim->errorString()));
    m_window->centerWidget()->setPortName(m_sim->portName());
    m_window->centerWidget()->setBackupFolder(m_backups.path());
    m_window->show();
}

TestRig::~TestRig()
{
    m_window.reset();
    m_boxes.reset();
    m_sim.reset();
}

void TestRig::click(const char *buttonObjectName)
{
    QPushButton *b = button(buttonObjectName);
    if (!b)
        qFatal("no button %s", buttonObjectName);
    QTest::mouseClick(b, Qt::LeftButton);
}

bool TestRig::connectDevice()
{
    click("m_pushButtonConnect");
    return center().isConnected();
}

QByteArray TestRig::pagesText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pages.txt"));
    setMessageObserver([](const MessageRecord &) {});
    center().saveConfiguration(path);
    setMessageObserver({});
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unsaved>");
}

void TestRig::loadPages(const QByteArray &text)
{
    QTemporaryDir dir;
    center().loadConfiguration(writeFile(dir.filePath(QStringLiteral("load.txt")), text));
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
