#include "ui/AltKeyCommands.h"

#include "app/CMainFrame.h"
#include "app/CommandIds.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>

namespace {

int commandOfKey(int key)
{
    using namespace CommandIds;
    switch (key) {
    case Qt::Key_B: return Borrar;
    case Qt::Key_D: return NuevoDispositivo;
    case Qt::Key_E: return Editar;
    case Qt::Key_I: return Insertar;
    case Qt::Key_N: return NuevoProducto;
    default: return 0;
    }
}

} // namespace

AltKeyCommands::AltKeyCommands(CMainFrame& frame)
    : QObject(&frame)
    , m_frame(frame)
{
    qApp->installEventFilter(this);
}

bool AltKeyCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const int command = key->modifiers() == Qt::AltModifier ? commandOfKey(key->key()) : 0;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!command || !widget || widget->window() != &m_frame)
        return false;
    // Taken here, the key reaches no shortcut: neither the menu's mnemonic nor the action.
    key->accept();
    QAction* action = m_frame.action(command);
    if (action->isEnabled())
        action->trigger();
    return true;
}
