#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures of the commands and the application. File, print, help and delete commands
// take the desktop's icon theme where it has them; every command also has a pictogram of
// ours, drawn in code in one style (flat colours, dark outline), used wherever the theme
// gives nothing.
namespace ToolbarArt {

// The command's icon: the theme's when it has one, else ours; null for a command without a
// picture.
QIcon icon(int commandId);
// Our pictogram of the command at size × size pixels; null for a command without one.
QPixmap pictogram(int commandId, int size);
QIcon applicationIcon();

} // namespace ToolbarArt
