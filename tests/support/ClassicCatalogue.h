#pragma once

#include "tests/support/CatalogueFixture.h"

// Model 1 of the classic link tests, a Dravolino C-200: relays for two dispensers, a whipper
// and a valve, and one dispenser row.
inline void addClassicModel(CatalogueFixture& catalogue)
{
    catalogue.AddMachineType(1, "Dravolino C-200");
    catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C",
                                .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C200.TXT"});
    catalogue.WriteFile("RELES_C200.TXT", "| 1 | DISPENSADOR 1 | 0xF1 | 1 |\r\n"
                                          "| 2 | DISPENSADOR 2 | 0xF1 | 2 |\r\n"
                                          "| 3 | BATIDOR 1 | 0xF3 | 1 |\r\n"
                                          "| 4 | ELECTROVALVULA 1 | 0xF4 | 1 |\r\n");
    catalogue.WriteFile("DISP_C1.TXT", "| 1 | 3 | 1 | 1 | 1 | 0 | 0 |\r\n");
}
