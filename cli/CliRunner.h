#pragma once

#include "CliOptions.h"

#include "protocol/Configuration.h"

#include <QString>

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
    void explainConnectFailure(int code) const;

    CliOptions m_options;
    Protocol::Configuration m_file; // what the loaded file would write
    // Outlives run(): see main().
    std::unique_ptr<DeviceSession> m_session;
};

// Output helpers shared by the commands: UTF-8, unbuffered enough for a
// line operator to follow.
void printOut(const QString &text);
void printErr(const QString &text);
