#include "LineExchange.h"

#include "link/CenterWidget.h"
#include "protocol/ConfigFrame.h"
#include "protocol/ReplyAssembly.h"

LineExchange::LineExchange(const QString &portName, QObject *parent)
    : QObject(parent), m_port(SerialLine::create(this))
{
    m_port->setPortName(portName);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_rx.clear();
        emit timedOut();
    });
    connect(m_port, &SerialLine::readyRead, this, &LineExchange::onReadyRead);
    connect(m_port, &SerialLine::errorOccurred, this, &LineExchange::onError);
}

bool LineExchange::open()
{
    if (!m_port->open())
        return false;
    // Whatever reached the line before anyone listened answers nothing.
    m_port->clear();
    return true;
}

void LineExchange::close()
{
    m_timer.stop();
    if (m_port->isOpen()) {
        m_port->clear();
        m_port->close();
    }
}

bool LineExchange::send(const QByteArray &frame)
{
    if (!m_port->isOpen())
        return false;
    m_rx.clear();
    m_awaited = ConfigFrame::commandOf(frame);
    if (m_port->write(frame) <= 0)
        return false;
    m_timer.start(CenterWidget::ReplyTimeoutMs);
    return true;
}

void LineExchange::onReadyRead()
{
    m_rx.append(m_port->readAll());
    if (m_rx.size() > CenterWidget::MaxReceiveBuffer)
        m_rx.remove(0, m_rx.size() - CenterWidget::MaxReceiveBuffer);
    // Every reply of this read is taken before the awaited one is told:
    // the next frame then starts from an empty line, as the window's does.
    QByteArray answer;
    bool answeredNow = false;
    for (;;) {
        const int length = ReplyAssembly::completeReplyLength(m_rx);
        if (length == 0)
            break;
        const QByteArray reply = m_rx.left(length);
        m_rx.remove(0, length);
        if (!answeredNow && m_timer.isActive() && ConfigFrame::commandOf(reply) == m_awaited) {
            m_timer.stop();
            answer = reply;
            answeredNow = true;
        } else {
            emit unawaited(reply);
        }
    }
    if (answeredNow)
        emit answered(answer);
}

void LineExchange::onError(SerialLine::Error error)
{
    // A pulled adapter.
    if (error != SerialLine::Error::Lost || !m_port->isOpen())
        return;
    const QString reason = m_port->errorString();
    m_timer.stop();
    m_port->close();
    emit lost(reason);
}
