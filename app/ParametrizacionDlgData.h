#pragma once

#include <array>

// The fields of the parametrisation dialog (ParametrizacionDlg): the rates from which the rows
// of a classic machine show their estimates.
struct ParametrizacionDlgData {
    static constexpr int DispenserCount = 5;

    std::array<float, DispenserCount> gramsPer10s{}; // dispensers 1..5
    float pumpCcPerSecond = 0.0f;
};
