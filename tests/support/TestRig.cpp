#include "TestRig.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The window remembers settings: a test's never reach the user's own, nor
// one test's the next run's. A test that already chose where they go keeps it.
bool keepSettingsApart()
{
    if (!QStandardPaths::isTestModeEnabled()) {
        static QTemporaryDir dir;
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    }
    return true;
}

} // namespace

TestRig::TestRig()
    : m_settingsApart(keepSettingsApart()), m_sim(std::make_unique<SimConverter>()),
      m_boxes(std::make_unique<BoxRecorder>()), m_window(std::make_unique<TARVINE>())
{
    if (!m_sim->open())
        qFatal("cannot open a pseudo-terminal: %s", qPrintable(m_sim->errorString()));
    m_window->centerWidget()->setPortName(m_sim->portName());
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
