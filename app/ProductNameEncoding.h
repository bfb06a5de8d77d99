#pragma once

#include "app/WideName.h"

#include <QByteArray>

// The name of the empty products a T38A write sends for the product fields a document leaves
// free.
inline constexpr char FillerProductName[] = "---";

// The code page of product names that the profile selects (Ormi/Codepage): 1251, 1255 or
// 1256 as named, 1250 for anything else and while no application exists yet.
quint32 GetNameCodePage();

// Rebuilds a row's UTF-16 name from its 8-bit name for display. Names in code page 1250,
// the filler name "---" and names that do not convert leave the UTF-16 name as it was. The
// name ends at the first separator or filler unit a machine may have left in it.
void ConvertNameToWide(const QByteArray& name, WideName& wide, quint32 codePage);
