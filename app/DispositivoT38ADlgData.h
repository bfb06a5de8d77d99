#pragma once

// The fields of the T38A device dialog (DispositivoT38ADlg), taken into a row by
// CDeviceCoffee::FillFromDeviceT38ADlg; the reading of a T38A machine fills it without any
// dialog.
struct DispositivoT38ADlgData {
    static constexpr int NoType = -1;

    int waterPulses = 0;         // flow-meter pulses, 0..1024
    int turns = 0;               // container turns, 0..30000
    int estimatedMilligrams = 0; // turns x milligrams per turn, shown only
    int type = NoType;           // the device's T38A row (see SetupT38A)
    int family = 0;              // program family of the document: which rows there are
};
