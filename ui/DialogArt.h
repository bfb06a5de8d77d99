#pragma once

#include <QIcon>

// The edit dialogs' own pictures, drawn in code.
namespace DialogArt {

// A product container: the product estimate.
QIcon productIcon();
// A drop of water: the water estimate.
QIcon waterIcon();

} // namespace DialogArt
