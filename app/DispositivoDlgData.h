#pragma once

// The fields of the device dialog of the classic machines (CDispositivoDlg), taken into a
// row by CDeviceCoffee::FillFromDeviceDlg.
struct DispositivoDlgData {
    static constexpr int NoColour = -1;
    static constexpr int NoType = -1;

    // The document's machine model decides whether water valves are given in pulses.
    explicit DispositivoDlgData(int model)
        : model(model)
    {
    }

    int model;
    bool valveMode = false;  // the selected type is a water valve measured in flow-meter pulses
    int colour = NoColour;   // 0..8
    int type = NoType;       // index into the catalogue's device types
    int endTime = 0;         // tenths of a second, 0..1024
    int startTime = 0;       // tenths of a second, 0..1024
};
