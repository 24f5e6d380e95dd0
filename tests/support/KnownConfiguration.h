#pragma once

#include <QByteArray>

// A configuration with every page away from its defaults, as the file holds
// it: the indented writer, four spaces a level, every object's keys sorted,
// a final newline. Its values are in the forms a read from the device gives
// back (lower-case hex without leading zeros, plain decimals), so it also
// survives a write to the device and a read back unchanged.
inline constexpr char kKnownConfiguration[] = R"({
    "CANMap": {
        "recMap": [
            "2,18ff50e5,100,3,"
        ],
        "sendMap": [
            "2,0,1,2,15,1fffffff,40000,"
        ]
    },
    "CANParam": {
        "Agreement": 1,
        "Arbitrationarea": 11,
        "CANStandard": 1,
        "Dataarea": 8,
        "FilterEnable": 2,
        "Filterstype_0": 2,
        "IDaddress_0": "18ff0000",
        "NumberFilters": 1,
        "Taddress_0": "1fffffff",
        "frameType": 1,
        "frametype_0": 1,
        "sendID": "1abcdef0",
        "speed": 1
    },
    "ConvertParam": {
        "convertDirect": 2,
        "convertMode": 4,
        "forwardInfo": 0,
        "forwartID": 0,
        "interval": 300,
        "intervalCAN": 10,
        "len": 2,
        "posOffset": 3
    },
    "ModBusParam": {
        "Addr": "0a",
        "CANID": "1abcdef0",
        "Data": "11 22 33 44 55 66 77 88 99 aa bb cc",
        "Type": 2,
        "dataLen": 9,
        "frameFormat": 0,
        "frameType": 1,
        "heartEnable": 1,
        "interval": "500"
    },
    "SerialParam": {
        "Baudrate": 8,
        "Baudrate_2": 3,
        "SerialMode": 4,
        "dataBit": 1,
        "dataBit_2": 0,
        "oddEvenCheck": 2,
        "oddEvenCheck_2": 1,
        "stopBit": 1,
        "stopBit_2": 0
    }
}
)";

inline QByteArray withCrLf(const QByteArray &text)
{
    QByteArray crlf = text;
    return crlf.replace("\n", "\r\n");
}

// The known configuration as the tool saves it here: with the system's own
// line ends (CR LF on Windows).
inline QByteArray knownConfigurationAsSaved()
{
#ifdef Q_OS_WIN
    return withCrLf(kKnownConfiguration);
#else
    return kKnownConfiguration;
#endif
}
