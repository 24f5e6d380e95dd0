#include "TestRig.h"

#include <QTest>

TestRig::TestRig()
    : m_sim(std::make_unique<SimConverter>()), m_boxes(std::make_unique<BoxRecorder>()),
      m_window(std::make_unique<TARVINE>())
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
