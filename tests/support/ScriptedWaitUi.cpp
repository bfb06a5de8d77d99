#include "tests/support/ScriptedWaitUi.h"

bool ScriptedWaitUi::Inicia()
{
    if (active)
        return false;
    setCancelled(false);
    active = true;
    shown.clear();
    confirming = false;
    ++starts;
    return true;
}

void ScriptedWaitUi::AsignaMensaje(const QString& text)
{
    messages.append(text);
    shown = text;
    confirming = false;
}

void ScriptedWaitUi::Termina(const QString& text)
{
    finalTexts.append(text);
    shown = text;
    confirming = true;
}

void ScriptedWaitUi::Detiene()
{
    setCancelled(false);
    if (onSettle)
        onSettle();
    active = false;
    ++stops;
}

void ScriptedWaitUi::ProcesaMensajes(bool)
{
    ++passes;
    if (onPass)
        onPass(passes);
}
