#pragma once

#include <QString>

// The full path of a catalogue file (a name as the catalogue databases store it, '\'
// separators and any letter case): in the folder configormi beside the program when it is a
// regular file there that opens for reading, otherwise below the profile's
// Configuracion/WorkDir, which is joined without a separator added. The second path is returned whether or not the file
// is there; the caller reports a missing file. An empty name gives an empty path.
QString FindCatalogueFile(const QString& name);
