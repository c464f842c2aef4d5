#pragma once

#include <QString>

class EventFolder;

// [Phone] of AwardInfo.ini: whether the guests' phones are served, where
// and how. Off unless the event turns it on.
struct PhoneSettings
{
    static constexpr const wchar_t* Section = L"Phone";
    static constexpr int DefaultPort = 8080;
    // When the port is taken, the next free of this many after it.
    static constexpr int PortsTried = 10;
    static constexpr int DefaultPerAddress = 8;

    bool enabled = false;
    quint16 port = DefaultPort;
    // An IPv4 address or an interface's name; empty: the first that fits.
    QString address;
    bool maskNames = false;
    int perAddress = DefaultPerAddress;

    // Values out of range read as their defaults.
    static PhoneSettings read(const EventFolder& folder);
    // The menu's and the console's switch; false when the file could not be written.
    static bool writeEnabled(const EventFolder& folder, bool on);
};
