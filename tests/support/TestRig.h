#pragma once

#include "BoxRecorder.h"
#include "SimConverter.h"
#include "app/TARVINE.h"
#include "link/CenterWidget.h"

#include <QPushButton>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// The tool's main window with the stand-in converter on the other end of a
// real pseudo-terminal (on Windows a virtual null-modem pair), and a
// recorder that sees every message box. A
// button click runs its whole command sequence before click() returns.
class TestRig
{
public:
    TestRig();
    ~TestRig();

    SimConverter &sim() { return *m_sim; }
    BoxRecorder &boxes() { return *m_boxes; }
    CenterWidget &center() { return *m_window->centerWidget(); }

    template <class Page> Page *page() { return center().findChild<Page *>(); }
    template <class W> W *widget(const char *objectName) { return center().findChild<W *>(QLatin1String(objectName)); }
    QPushButton *button(const char *objectName) { return widget<QPushButton>(objectName); }

    // Clicks a button with the mouse, as a user would.
    void click(const char *buttonObjectName);
    // Clicks "连接设备" and reports whether the tool is now connected.
    bool connectDevice();
    // What the pages hold, as the configuration file stores it. The save's
    // own box goes to an observer: the recorder sees only what the test did.
    QByteArray pagesText();
    // Loads a configuration file holding `text` into the pages.
    void loadPages(const QByteArray &text);
    // This rig's own backup folder (the window's default is redirected).
    QString backupFolder() const { return m_backups.path(); }

private:
    QTemporaryDir m_backups;
    std::unique_ptr<SimConverter> m_sim;
    std::unique_ptr<BoxRecorder> m_boxes;
    std::unique_ptr<TARVINE> m_window;
};

// Writes `bytes` to `path` (the test stops if it cannot) and returns the path.
QString writeFile(const QString &path, const QByteArray &bytes);
