#include "CliHelp.h"

namespace CliHelp {

namespace {

const char kExitCodes[] = R"(Exit codes:
  0  success
  1  the device did not answer, or the link was lost
  2  usage error (command line or manifest)
  3  a file could not be read or written, or is not a valid configuration / image
  4  verify found differences
  5  the device failed the challenge
  6  the port could not be opened (missing, in use, or no permission)
  7  batch: at least one job failed
)";

} // namespace

QString general()
{
    return QStringLiteral(R"(Usage: tarvine-cli [--port PORT [--trace FILE]] COMMAND [ARGS...] [OPTIONS]

Configures, verifies and updates converters without a window.

Commands:
  ports [--json]                     list the serial ports
  --port PORT info [--json]          connect and show the device information
  --port PORT read [-o FILE]         read the configuration into a file (or standard output)
  --port PORT write FILE [--no-verify]
                                     write a configuration file, then verify it
  --port PORT verify FILE [--json]   compare the device with a configuration file
  --port PORT defaults               restore the device's default configuration
  --port PORT update IMAGE [--quiet] update the firmware
  batch MANIFEST [--jobs N] [--json] run one job a line, ports in parallel

Every command with --port connects first, as the tool's connect button
does (the challenge, then the device information). The messages the tool
would show in a box are printed on standard error.
--trace FILE, with any command that takes --port, writes every frame
sent, every reply, every time-out and every dropped reply to FILE as it
happens, one line each as the window's traffic log (通信记录) shows it:
time, direction, command, length, bytes in hex, and why a reply was
dropped or not waited for, separated by tabs.
"tarvine-cli COMMAND --help" tells more about a command;
"tarvine-cli --version" prints the version.

)") + QLatin1String(kExitCodes);
}

QString command(const QString &name)
{
    static const char *const texts[][2] = {
        {"ports", R"(Usage: tarvine-cli ports [--json]

One serial port a line, tab-separated: path, description, manufacturer,
serial number, USB vendor:product id ("-" where unknown). With --json an
array of objects with the keys port, description, manufacturer,
serialNumber, vendorId, productId.
)"},
        {"info", R"(Usage: tarvine-cli --port PORT info [--json]

Connects and prints the device type, hardware version, firmware version and
product number, one "name: value" a line (--json: one object with the keys
deviceType, typeCode, hardwareVersion, firmwareVersion, productNumber).
)"},
        {"read", R"(Usage: tarvine-cli --port PORT read [-o FILE]

Reads the whole configuration ("读配置") and writes the configuration file
that "保存到文件" would write after that read, byte for byte, to FILE or
to standard output.
)"},
        {"write", R"(Usage: tarvine-cli --port PORT write FILE [--no-verify]

Loads FILE as "从文件读取" does (a file the tool refuses is refused here:
exit 3, nothing sent) and writes it as "写配置" does, the same frames byte
for byte. Then reads the device back and compares, as verify does (exit 4
on a difference), unless --no-verify.
)"},
        {"verify", R"(Usage: tarvine-cli --port PORT verify FILE [--json]

Reads the device and compares what it holds with what "write FILE" would
send, block by block, on decoded values: forms the device cannot tell apart
are no difference. The Modbus and mapping blocks are compared only in the
modes that write them. Each difference is one line
  FIELD: device VALUE, file VALUE
(--json: an array of objects with the keys field, device, file). Field
names: serial.mode, serial.port1.baudRate|dataBits|stopBits|parity,
serial.port2.*, can.arbitrationWord|dataWord|sendId|protocol|acceleration|
standard|frameType, conversion.mode|direction|serialInterval|forwardInfo|
forwardId|idLength|startOffset|canInterval, filters.enabled, filters.count,
filters[N].frameType|filterType|id1|id2, modbus.address|heartbeat|interval|
flags|length|canId, modbus.data[N], send.count, send[N].canId|address|
flags|length, recv.count, recv[N].canId|address|count. A serial port
slot the file's mode does not use, and heartbeat data past its length,
are no difference.
Exit 0 without differences, 4 with.
)"},
        {"defaults", R"(Usage: tarvine-cli --port PORT defaults

Restores the device's defaults as "默认值" does (the reset, the Modbus
defaults, then a read).
)"},
        {"update", R"(Usage: tarvine-cli --port PORT update IMAGE [--quiet]

Sends the firmware IMAGE as the firmware page does. Progress goes to
standard error (percent, bytes per second, time left): one line updated in
place on a terminal, one line per step otherwise; --quiet prints none.
)"},
        {"batch", R"(Usage: tarvine-cli batch MANIFEST [--jobs N] [--json]

MANIFEST holds one job a line: PORT COMMAND [ARGS...] ("#" starts a
comment; relative file names are taken from the current directory). Jobs on
different ports run at the same time, at most N at once (default: all
ports); jobs on one port run one after another, in the manifest's order.
A job's output is printed with its port in front. The configuration file
of every write and verify job is checked first, once per file, as those
commands check it: the jobs of a file the tool refuses fail with exit 3
before any job starts, and their ports hear nothing. Write and verify jobs
then run inside the batch, with the same frames, checks, messages and exit
codes as the commands alone; every other job (and one with --trace) runs
as its own tarvine-cli. At the end, one summary line per job: port, command, result
(ok or the exit code), seconds (--json: an array of objects with the keys
port, command, arguments, exitCode, seconds). Exit 7 if any job failed.
)"},
    };
    for (const auto &entry : texts)
        if (name == QLatin1String(entry[0]))
            return QString::fromUtf8(entry[1]) + QLatin1Char('\n') + QLatin1String(kExitCodes);
    return QString();
}

} // namespace CliHelp
