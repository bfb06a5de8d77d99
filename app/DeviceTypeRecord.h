#pragma once

#include <QByteArray>

// One device type of the machine catalogue, as the model's relay file gives it.
struct DeviceTypeRecord {
    static constexpr int MaxNameLength = 60;
    static constexpr int DispenserCode = 0xF1;
    static constexpr int WhipperCode = 0xF3;
    static constexpr int WaterValveCode = 0xF4;

    QByteArray name;        // as the relay file gives it, at most 60 bytes
    QByteArray displayName; // the name translated for the user
    int code = 0;           // device code of the row byte code
    int subCode = 0;        // number of the device within its code; dispensers: 1..10
    bool listFlag = true;   // the device dialog offers the type
};
