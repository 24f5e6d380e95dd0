#pragma once

#include "CliOptions.h"

#include "protocol/Configuration.h"
#include "serial/SerialLine.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class DeviceSession;

// Runs one command of tarvine-cli (batch aside) and answers its exit code.
// Data goes to standard output, messages and progress to standard error.
// It must never show a window: every step with a device goes through
// DeviceSession.
class CliRunner
{
public:
    explicit CliRunner(const CliOptions &options);
    ~CliRunner();

    int run();

private:
    int ports();
    int info(DeviceSession &session);
    int read(DeviceSession &session);
    int write(DeviceSession &session);
    int verify(DeviceSession &session, const QString &file);
    int defaults(DeviceSession &session);
    int update(DeviceSession &session);

    CliOptions m_options;
    Protocol::Configuration m_file; // what the loaded file would write
    // Outlives run(): see main().
    std::unique_ptr<DeviceSession> m_session;
};

// Output helpers shared by the commands: UTF-8, unbuffered enough for a
// line operator to follow.
void printOut(const QString &text);
void printErr(const QString &text);

// The exit code of a port that would not open: PortUnavailable where it is
// missing, taken or forbidden, else NoAnswer.
int openFailureCode(SerialLine::Error error);
// Why a connect to `port` failed with `code`, in a line operator's words.
QString connectFailureText(int code, const QString &port);
// A verify's findings, one line each ("FIELD: device VALUE, file VALUE"),
// or as a JSON array.
QStringList differenceLines(const QVector<Protocol::Difference> &differences, bool json);
