#include "tests/support/ScriptedWaitUi.h"

bool ScriptedWaitUi::Inicia()
{
    if (active)
        return false;
    setCancelled(false);
    active = true;
    ++starts;
    return true;
}

void ScriptedWaitUi::AsignaMensaje(const QString& text) { messages.append(text); }

void ScriptedWaitUi::Termina(const QString& text) { finalTexts.append(text); }

void ScriptedWaitUi::Detiene()
{
    setCancelled(false);
    active = false;
    ++stops;
}

void ScriptedWaitUi::ProcesaMensajes(bool)
{
    ++passes;
    if (onPass)
        onPass(passes);
}
