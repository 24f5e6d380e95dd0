#pragma once

// What tarvine-cli tells its caller. Scripts rely on these numbers: they
// never change meaning.
namespace ExitCode {

constexpr int Success = 0;
constexpr int NoAnswer = 1;        // the device did not answer, or the link was lost
constexpr int Usage = 2;           // bad command line or manifest line
constexpr int BadFile = 3;         // a file could not be read or written, or was refused
constexpr int Differences = 4;     // verify found differences
constexpr int ChallengeFailed = 5; // the device answered the challenge wrongly
constexpr int PortUnavailable = 6; // the port could not be opened
constexpr int BatchFailed = 7;     // at least one batch job failed

} // namespace ExitCode
