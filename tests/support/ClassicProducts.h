#pragma once

#include "app/COrmiDoc.h"

#include <array>
#include <initializer_list>

// A classic product at the end of a document: its header (named "TE") with its flags, then
// one device row per {type index, start, end}.
inline void addClassicProduct(COrmiDoc& document, int number, int selection, int sugar, int stirrer, int cup,
                              std::initializer_list<std::array<int, 3>> devices)
{
    CDeviceCoffee* header = document.AddDevice();
    header->SetProductNumber(number);
    header->SetSelectionNumber(selection);
    header->SetName("TE");
    header->SetSugarFlag(quint8(sugar));
    header->SetStirrerFlag(quint8(stirrer));
    header->SetCupFlag(quint8(cup));
    for (const auto& [type, start, end] : devices) {
        CDeviceCoffee* device = document.AddDevice();
        device->SetTypeIndex(type);
        device->SetStart(start);
        device->SetEnd(end);
    }
}
