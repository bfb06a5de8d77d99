#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures for the toolbar buttons and the application, drawn in code.
class ToolbarArt {
public:
    static QPixmap button(int commandId, int size);
    static QIcon applicationIcon();
};
