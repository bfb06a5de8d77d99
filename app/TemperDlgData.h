#pragma once

// The field of the temperature dialog (CTemperDlg): the boiler's working temperature.
struct TemperDlgData {
    int temperature = 0; // degrees Celsius
};
